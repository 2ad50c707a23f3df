// The six stored settings of the saver, read for a full-screen run and shown and
// stored by the settings dialog. Gravity lives with the simulation's tunables.
//
// They are kept under the key "Software\ScreenSaverKestrova" of the user's
// settings store (platform/settings/settings_store.h) as six 32-bit values:
// "bitsPP", "screenWidth", "screenHeight" and "dFps" as they are, "sGravity"
// and "boxMass" as the value times 100000 cut toward zero, read back divided by
// 100000. A dialog field the user leaves as it was shown stores the value read
// into it again, number for number, so that OK changes nothing it was not asked
// to change.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/dialog/dialog.h"

extern int bitsPP;
extern int screenWidth;
extern int screenHeight;
extern int dFps;
extern float boxMass;

// The key the values are stored under.
extern const char* const settingsKeyName;

// Reads the stored values over the present ones, as the full-screen run needs
// them: a missing value keeps its present value, and a width, height or colour
// depth that no display mode can have (0, negative, absurdly large) is replaced
// by its default, with a note on stderr. The store is not changed.
void loadSettings();

// Reads the stored values over the present ones exactly as stored (what the
// dialog shows). A stored value that is no 32-bit number keeps the present
// value, with a note on stderr.
void readSettings();

// Puts the six settings back to their built-in defaults.
void resetSettings();

// The settings dialog: its template, its fields and the messages its procedure
// handles.
constexpr int fieldBitsPP = 1002;
constexpr int fieldScreenWidth = 1003;
constexpr int fieldScreenHeight = 1004;
constexpr int fieldDesiredFps = 1005;
constexpr int fieldGravity = 1006;
constexpr int fieldBoxMass = 1007;
constexpr unsigned messageInitDialog = 0x0110;
constexpr unsigned messageCommand = 0x0111;

const platform::DialogTemplate& settingsDialogTemplate();

// The texts of an open dialog's fields, by field id, and which of them show a
// value read from the store.
class DialogFields {
public:
    std::string itemText(int id) const;
    // Shows a text that stands for no stored value.
    void setItemText(int id, const std::string& text);
    std::map<int, std::string>& texts() { return texts_; }

    // Shows `text` in the field for a value read from the store as `stored`.
    void setStoredItemText(int id, const std::string& text, int32_t stored);
    // The value read into a field that still shows the text shown for it;
    // nothing when the text has changed or the field showed no stored value.
    std::optional<int32_t> unchangedStoredValue(int id) const;

private:
    std::map<int, std::string> texts_;
    std::map<int, std::pair<std::string, int32_t>> storedTexts_;  // text shown, value read
};

// Reads the six fields into the settings and stores them: a field that still
// shows a value read from the store stores that value as it was read, the others
// what their text reads as. When they cannot be stored, says so on stderr and,
// when there is a display, in a box, and stores nothing (the settings in memory
// have changed all the same; the program ends right after).
void saveSettings(DialogFields& dialog);

// The dialog's procedure. Opening (messageInitDialog) reads the stored settings
// into the fields and returns true; the OK command (low word of wParam 1)
// stores the fields; Cancel (2), which Escape and the close box also send,
// stores nothing. Either command closes the dialog, which then ends the program.
bool settingsDialogProc(DialogFields& dialog, unsigned message, uintptr_t wParam, intptr_t lParam);

// Shows the settings dialog and returns when it closes, OK having stored the
// fields. With no display to show it on, says so on stderr and stores nothing.
void runSettingsDialog();

// The same with the dialog shown by `show`, which has the signature of
// platform::runModalDialog (tests pass a dialog of their own).
using ShowDialog = std::function<int(const platform::DialogTemplate&, std::map<int, std::string>&, std::string&)>;
void runSettingsDialog(const ShowDialog& show);

// How the dialog reads and shows its fields.
// A whole-number field read as unsigned: decimal digits with blanks around them;
// anything else (a sign, junk, more than 32 bits) reads as 0.
uint32_t readWholeNumberField(const std::string& text);
// A real-valued field: leading blanks, an optional sign, digits with an optional
// fraction and exponent; whatever follows is ignored; 0 when no number begins
// the text. A number too large for a float reads as an infinity.
float readRealField(const std::string& text);
std::string showWholeNumber(int value);  // unsigned decimal
std::string showReal(float value);       // five decimals, "%.5f"

// A real setting as stored: times 100000 (formed from the float), cut toward
// zero; a product beyond the 32-bit range stores the nearest 32-bit number, and
// NaN stores 0.
int32_t storedHundredThousandths(float value);
