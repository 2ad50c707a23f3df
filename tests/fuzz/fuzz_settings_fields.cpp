// The settings dialog's six fields, as typed, through OK into the settings file
// and back: whole-number fields must read as std::from_chars reads them (with
// blanks around), real fields must never turn into NaN, and what a later run
// reads from the file must be what OK stored.
#include "arena/tunables.h"
#include "platform/window/message_box.h"
#include "shell/settings.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace {

uint32_t expectedWhole(std::string_view text)
{
    const char* blanks = " \t\n\r\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return 0;
    text = text.substr(first, text.find_last_not_of(blanks) - first + 1);
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : 0;
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
    // One field per line, in the dialog's order.
    const int fields[] = {fieldBitsPP, fieldScreenWidth, fieldScreenHeight, fieldDesiredFps, fieldGravity, fieldBoxMass};
    std::vector<std::string> texts(6);
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (size_t i = 0; i < 6 && !input.empty(); ++i) {
        size_t end = i == 5 ? input.size() : std::min(input.find('\n'), input.size());
        texts[i] = std::string(input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));
    }
    DialogFields dialog;
    for (size_t i = 0; i < 6; ++i)
        dialog.setItemText(fields[i], texts[i]);

    resetSettings();
    saveSettings(dialog);
    fuzz::check(static_cast<uint32_t>(bitsPP) == expectedWhole(texts[0]));
    fuzz::check(static_cast<uint32_t>(dFps) == expectedWhole(texts[3]));
    fuzz::check(!std::isnan(Gravity) && !std::isnan(boxMass));

    const int stored[] = {bitsPP, screenWidth, screenHeight, dFps};
    const float storedGravity = static_cast<float>(storedHundredThousandths(Gravity) / 100000.0);
    const float storedBoxMass = static_cast<float>(storedHundredThousandths(boxMass) / 100000.0);
    resetSettings();
    readSettings();
    fuzz::check(bitsPP == stored[0] && screenWidth == stored[1] && screenHeight == stored[2] && dFps == stored[3]);
    fuzz::check(Gravity == storedGravity && boxMass == storedBoxMass);
    // What the dialog shows of a stored value reads back as the same value.
    fuzz::check(storedHundredThousandths(readRealField(showReal(Gravity))) == storedHundredThousandths(Gravity));
    return 0;
}
