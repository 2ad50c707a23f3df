#include "shell/settings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale.h>
#include <memory>
#include <stdlib.h>

#include "arena/tunables.h"
#include "platform/settings/settings_store.h"
#include "platform/window/message_box.h"

namespace {

// The built-in settings; Gravity's is the simulation's own (startGravity).
constexpr int defaultBitsPP = 32;
constexpr int defaultScreenWidth = 1024;
constexpr int defaultScreenHeight = 768;
constexpr int defaultDFps = 999999;
constexpr float defaultBoxMass = 0.02f;

// The real-valued fields are read through a buffer of this many characters,
// the terminating zero included.
constexpr size_t settingsTextSize = 255;

void note(const std::string& text)
{
    std::fprintf(stderr, "skarvel: %s\n", text.c_str());
}

// The values one reading found, as stored, by name.
using ReadValues = std::map<std::string, int32_t>;

// One stored value; false when it is missing or unreadable (which is noted,
// naming the present value that stays). A value found goes into `read`.
bool storedValue(const platform::SettingsKey& key, const char* name, const std::string& present, int32_t& value,
                 ReadValues& read)
{
    uint32_t data = 0;
    switch (key.queryDword(name, data)) {
    case platform::ValueRead::found:
        value = static_cast<int32_t>(data);
        read[name] = value;
        return true;
    case platform::ValueRead::unreadable:
        note(std::string("the stored value \"") + name + "\" in " + platform::settingsFilePath() +
             " is not a 32-bit number; keeping " + present);
        return false;
    case platform::ValueRead::missing:
        break;
    }
    return false;
}

void readWhole(const platform::SettingsKey& key, const char* name, int& setting, ReadValues& read)
{
    int32_t value = 0;
    if (storedValue(key, name, std::to_string(setting), value, read))
        setting = value;
}

// A real setting from its stored form.
float fromHundredThousandths(int32_t value)
{
    return static_cast<float>(value / 100000.0);
}

void readScaled(const platform::SettingsKey& key, const char* name, float& setting, ReadValues& read)
{
    int32_t value = 0;
    if (storedValue(key, name, showReal(setting), value, read))
        setting = fromHundredThousandths(value);
}

// readSettings, telling what it found.
ReadValues readStoredSettings()
{
    ReadValues read;
    std::string error;
    std::unique_ptr<platform::SettingsKey> key = platform::SettingsKey::openForReading(settingsKeyName, &error);
    if (!key) {
        if (!error.empty())
            note(error + "; using the present settings");
        return read;
    }
    readWhole(*key, "bitsPP", bitsPP, read);
    readWhole(*key, "screenWidth", screenWidth, read);
    readWhole(*key, "screenHeight", screenHeight, read);
    readWhole(*key, "dFps", dFps, read);
    readScaled(*key, "sGravity", Gravity, read);
    readScaled(*key, "boxMass", boxMass, read);
    key->close();
    return read;
}

// A display value no mode can have is replaced by its default.
void keepUsable(int& setting, const char* name, int lowest, int highest, int fallback)
{
    if (setting >= lowest && setting <= highest)
        return;
    note(std::string("the stored ") + name + " " + std::to_string(setting) + " is not usable (" +
         std::to_string(lowest) + " to " + std::to_string(highest) + "); using " + std::to_string(fallback));
    setting = fallback;
}

// A double narrowed to a float, rounding as the hardware does: magnitudes past
// the largest float become infinities.
float toFloat(double value)
{
    constexpr double roundsToInfinity = 0x1.ffffffp127;  // largest float plus half a step
    constexpr float infinity = std::numeric_limits<float>::infinity();
    if (std::fabs(value) >= roundsToInfinity)
        return value > 0 ? infinity : -infinity;
    return static_cast<float>(value);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

double parseInCLocale(const std::string& number)
{
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return cLocale ? strtod_l(number.c_str(), nullptr, cLocale) : std::strtod(number.c_str(), nullptr);
}

} // namespace

int bitsPP = defaultBitsPP;
int screenWidth = defaultScreenWidth;
int screenHeight = defaultScreenHeight;
int dFps = defaultDFps;
float boxMass = defaultBoxMass;

const char* const settingsKeyName = "Software\\ScreenSaverKestrova";

void readSettings()
{
    readStoredSettings();
}

void loadSettings()
{
    readSettings();
    keepUsable(bitsPP, "colour depth (bitsPP)", 8, 64, defaultBitsPP);
    keepUsable(screenWidth, "screen width", 1, 16384, defaultScreenWidth);
    keepUsable(screenHeight, "screen height", 1, 16384, defaultScreenHeight);
}

void resetSettings()
{
    bitsPP = defaultBitsPP;
    screenWidth = defaultScreenWidth;
    screenHeight = defaultScreenHeight;
    dFps = defaultDFps;
    Gravity = startGravity;
    boxMass = defaultBoxMass;
}

uint32_t readWholeNumberField(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    if (first == last)
        return 0;
    uint64_t value = 0;
    for (size_t i = first; i < last; ++i) {
        if (!isDigit(text[i]))
            return 0;
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > std::numeric_limits<uint32_t>::max())
            return 0;
    }
    return static_cast<uint32_t>(value);
}

float readRealField(const std::string& text)
{
    // Find the number at the start of the text, then convert just that part, the
    // same in every locale.
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0.0f;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (exponent < text.size() && isDigit(text[exponent])) {
            while (exponent < text.size() && isDigit(text[exponent]))
                ++exponent;
            i = exponent;
        }
    }
    return toFloat(parseInCLocale(text.substr(start, i - start)));
}

std::string showWholeNumber(int value)
{
    return std::to_string(static_cast<uint32_t>(value));
}

std::string showReal(float value)
{
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                   std::chars_format::fixed, 5);
    if (ec != std::errc())
        return "0.00000";
    return std::string(buffer, end);
}

int32_t storedHundredThousandths(float value)
{
    double product = static_cast<double>(value) * 100000.0;
    if (std::isnan(product))
        return 0;
    if (product >= 2147483648.0)
        return std::numeric_limits<int32_t>::max();
    if (product <= -2147483649.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(product);
}

const platform::DialogTemplate& settingsDialogTemplate()
{
    using Kind = platform::DialogControlKind;
    static const platform::DialogTemplate dialog{
        "Screen Saver Config.", 0, 0, 269, 130, "MS Sans Serif", 8,
        {
            {platform::dialogIdOk, Kind::defaultPushButton, "OK", 88, 107, 33, 12},
            {-1, Kind::rightLabel, "Bits per pixel", 13, 12, 95, 11},
            {-1, Kind::groupBox, "", 7, 0, 157, 126},
            {fieldBitsPP, Kind::edit, "", 119, 8, 40, 14},
            {platform::dialogIdCancel, Kind::defaultPushButton, "Cancel", 126, 107, 34, 12},
            {-1, Kind::rightLabel, "Screen height", 13, 44, 95, 11},
            {-1, Kind::rightLabel, "Screen width", 13, 28, 95, 11},
            {fieldScreenWidth, Kind::edit, "", 119, 24, 40, 14},
            {fieldScreenHeight, Kind::edit, "", 119, 40, 40, 14},
            {fieldDesiredFps, Kind::edit, "", 119, 56, 40, 14},
            {-1, Kind::rightLabel, "Desired Fps", 13, 60, 95, 11},
            {-1, Kind::leftLabel,
             "Bits:  16,24,32,64\nWidth: 640,800,1024\nHeight:400,600, 768\nFps:   30 (1%cpu/P4)\n"
             "Gravity: 0.005\nBox mass:0.005",
             179, 60, 72, 51},
            {fieldGravity, Kind::edit, "", 119, 72, 40, 14},
            {fieldBoxMass, Kind::edit, "", 120, 88, 40, 14},
            {-1, Kind::rightLabel, "Gravity", 13, 77, 95, 11},
            {-1, Kind::rightLabel, "Box mass", 12, 92, 95, 11},
            {-1, Kind::groupBox, "Saver Settings.", 165, 37, 96, 89},
        },
    };
    return dialog;
}

std::string DialogFields::itemText(int id) const
{
    auto text = texts_.find(id);
    return text == texts_.end() ? std::string() : text->second;
}

void DialogFields::setItemText(int id, const std::string& text)
{
    texts_[id] = text;
    storedTexts_.erase(id);
}

void DialogFields::setStoredItemText(int id, const std::string& text, int32_t stored)
{
    texts_[id] = text;
    storedTexts_[id] = {text, stored};
}

std::optional<int32_t> DialogFields::unchangedStoredValue(int id) const
{
    auto shown = storedTexts_.find(id);
    if (shown == storedTexts_.end() || itemText(id) != shown->second.first)
        return std::nullopt;
    return shown->second.second;
}

void saveSettings(DialogFields& dialog)
{
    // Shown and read back, a stored value need not come back as it was (a real
    // one is shown to five decimals of a float): one left as shown is stored
    // again as it was read.
    auto whole = [&dialog](int id) {
        std::optional<int32_t> stored = dialog.unchangedStoredValue(id);
        return stored ? *stored : static_cast<int32_t>(readWholeNumberField(dialog.itemText(id)));
    };
    auto real = [&dialog](int id, float& setting) {
        if (std::optional<int32_t> stored = dialog.unchangedStoredValue(id)) {
            setting = fromHundredThousandths(*stored);
            return *stored;
        }
        // The real-valued fields go through a text buffer of limited size.
        std::string settingsText = dialog.itemText(id).substr(0, settingsTextSize - 1);
        setting = readRealField(settingsText);
        return storedHundredThousandths(setting);
    };
    bitsPP = whole(fieldBitsPP);
    screenWidth = whole(fieldScreenWidth);
    screenHeight = whole(fieldScreenHeight);
    dFps = whole(fieldDesiredFps);
    const int32_t storedGravity = real(fieldGravity, Gravity);
    const int32_t storedBoxMass = real(fieldBoxMass, boxMass);

    std::string error;
    std::unique_ptr<platform::SettingsKey> key = platform::SettingsKey::createForWriting(settingsKeyName, &error);
    if (key) {
        key->setDword("bitsPP", static_cast<uint32_t>(bitsPP));
        key->setDword("screenWidth", static_cast<uint32_t>(screenWidth));
        key->setDword("screenHeight", static_cast<uint32_t>(screenHeight));
        key->setDword("dFps", static_cast<uint32_t>(dFps));
        key->setDword("sGravity", static_cast<uint32_t>(storedGravity));
        key->setDword("boxMass", static_cast<uint32_t>(storedBoxMass));
        if (key->close(&error))
            return;
    }
    // The dialog has closed: a user who opened it from a menu learns of the
    // loss only from a box. It says so on stderr as well.
    const std::string text = "the settings were not stored: " + error;
    platform::messageBox(text.c_str(), "skarvel", platform::MB_OK | platform::MB_ICONSTOP);
}

bool settingsDialogProc(DialogFields& dialog, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    if (message == messageInitDialog) {
        const ReadValues read = readStoredSettings();
        auto show = [&dialog, &read](int id, const char* name, const std::string& text) {
            auto stored = read.find(name);
            if (stored == read.end())
                dialog.setItemText(id, text);
            else
                dialog.setStoredItemText(id, text, stored->second);
        };
        show(fieldBitsPP, "bitsPP", showWholeNumber(bitsPP));
        show(fieldScreenWidth, "screenWidth", showWholeNumber(screenWidth));
        show(fieldScreenHeight, "screenHeight", showWholeNumber(screenHeight));
        show(fieldDesiredFps, "dFps", showWholeNumber(dFps));
        show(fieldGravity, "sGravity", showReal(Gravity));
        show(fieldBoxMass, "boxMass", showReal(boxMass));
        return true;
    }
    // The dialog has already closed when a command arrives; its fields are
    // still readable, and the program ends when runSettingsDialog returns.
    if (message == messageCommand && (wParam & 0xFFFF) == platform::dialogIdOk)
        saveSettings(dialog);
    return false;
}

void runSettingsDialog(const ShowDialog& show)
{
    DialogFields dialog;
    settingsDialogProc(dialog, messageInitDialog, 0, 0);
    std::string error;
    int button = show(settingsDialogTemplate(), dialog.texts(), error);
    if (button < 0) {
        note("the settings dialog cannot be shown: " + error);
        return;
    }
    settingsDialogProc(dialog, messageCommand, static_cast<uintptr_t>(button), 0);
}

void runSettingsDialog()
{
    runSettingsDialog(platform::runModalDialog);
}
