// The settings file as anything may have left it: reading the saver's key (and
// the shell's reading of the values into the settings), then storing some of
// its values over it. Storing must keep every other value readable as it was,
// give back exactly what was stored, and change nothing when repeated.
#include "arena/tunables.h"
#include "platform/settings/settings_store.h"
#include "platform/window/message_box.h"
#include "shell/settings.h"
#include "tests/fuzz/fuzz_support.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>

using platform::SettingsKey;
using platform::ValueRead;

namespace {

const char* const otherKey = "Software\\SomethingElse";
const char* const names[] = {"bitsPP", "screenWidth", "screenHeight", "dFps", "sGravity", "boxMass", "other"};

using Reading = std::map<std::pair<std::string, std::string>, std::pair<ValueRead, uint32_t>>;

// Every probed value of both keys as it reads now.
Reading readAll()
{
    Reading reading;
    for (const char* key : {settingsKeyName, otherKey}) {
        std::unique_ptr<SettingsKey> opened = SettingsKey::openForReading(key);
        for (const char* name : names) {
            uint32_t data = 0;
            ValueRead result = opened ? opened->queryDword(name, data) : ValueRead::missing;
            reading[{key, name}] = {result, data};
        }
    }
    return reading;
}

std::string fileText()
{
    std::ifstream in(platform::settingsFilePath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::useScratchConfigHome();
    platform::setMessageBoxHook([](auto&&...) -> int { std::abort(); });  // storing never fails here
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::writeScratchFile("skarvel/settings.ini", data, size);

    // A full-screen run reads the key; whatever is stored, the display values
    // it goes on with are usable.
    resetSettings();
    loadSettings();
    fuzz::check(bitsPP >= 8 && bitsPP <= 64 && screenWidth >= 1 && screenWidth <= 16384 &&
                screenHeight >= 1 && screenHeight <= 16384);
    fuzz::check(std::isfinite(Gravity) && std::isfinite(boxMass));

    // Three values are stored over the file (one of them under another case).
    const Reading before = readAll();
    const uint32_t salt = size ? data[size - 1] : 0;
    const std::pair<const char*, uint32_t> stored[] = {
        {"bitsPP", 24 + salt}, {"SGRAVITY", static_cast<uint32_t>(-981000)}, {"other", 0x80000000u | salt}};
    auto store = [&] {
        std::unique_ptr<SettingsKey> key = SettingsKey::createForWriting(settingsKeyName);
        fuzz::check(key != nullptr);
        for (auto [name, value] : stored)
            key->setDword(name, value);
        fuzz::check(key->close());
    };
    store();
    const std::string once = fileText();

    Reading after = readAll();
    for (auto [name, value] : stored) {
        const std::string probe = name == std::string("SGRAVITY") ? "sGravity" : name;
        auto& read = after[{settingsKeyName, probe}];
        fuzz::check(read.first == ValueRead::found && read.second == value);
        read = before.at({settingsKeyName, probe});
    }
    fuzz::check(after == before);

    // Storing the same values again leaves the file as it was.
    store();
    fuzz::check(fileText() == once);
    // The dialog's OK with nothing typed stores every setting as it was read.
    fuzz::writeScratchFile("skarvel/settings.ini", data, size);
    resetSettings();
    runSettingsDialog([](auto&&...) { return platform::dialogIdOk; });
    after = readAll();
    for (const auto& [probe, was] : before)  // a setting not read stores its default
        fuzz::check(probe.first == settingsKeyName && probe.second != "other" && was.first != ValueRead::found
                        ? after.at(probe).first == ValueRead::found : after.at(probe) == was);
    return 0;
}
