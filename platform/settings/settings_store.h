// The current user's settings store: a small text file in the user's
// configuration folder that plays the part of the registry keys the saver keeps
// its values under.
//
// File: $XDG_CONFIG_HOME/skarvel/settings.ini ($HOME/.config when
// XDG_CONFIG_HOME is unset, empty or not an absolute path). One section per key,
// named after the key; one line per 32-bit value, as a signed decimal:
//
//     [Software\ScreenSaverKestrova]
//     bitsPP=32
//     sGravity=-1000500
//
// Section and value names match without regard to case, as registry names do;
// blanks around names and numbers are ignored; lines starting with ';' or '#'
// are comments. When a name appears twice, the first one counts. Lines may end
// in LF, CRLF or CR, mixed in one file, and a UTF-8 byte-order mark may begin
// it. Only a regular file of at most a megabyte is read (a link to one is
// followed); anything else cannot be read, and is never written over. Nor is
// a file written that would come out larger than that.
//
// Writing keeps every other line of the file as it was (other sections,
// comments, lines that are not understood, even binary junk), with its line
// end, and the byte-order mark; a value line that already holds the number
// stays as it is. It replaces the file atomically: the new text goes to a
// temporary file in the same folder, which is flushed to disk and then renamed
// over the old one, so a crash or a full disk leaves either the old file or the
// new one, never a broken one. When the file is a symbolic link, the file it
// points to is replaced so, in its own folder, and the link stays.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The full name of the settings file (it need not exist).
std::string settingsFilePath();

// What reading one value found.
enum class ValueRead {
    found,       // a 32-bit number; the data holds it
    missing,     // no such value in the key
    unreadable,  // a line with the name whose text is no signed 32-bit decimal
};

class SettingsKey {
public:
    // Opens a key for reading. Null when there is no file, the file cannot be
    // read (then `error`, when given, says why) or it has no section of that
    // name (then `error` is left empty).
    static std::unique_ptr<SettingsKey> openForReading(const std::string& keyName,
                                                       std::string* error = nullptr);

    // Opens a key for writing, creating the folder when needed. The key itself
    // is made when the values are stored at close(). Null, with the reason in
    // `error`, when the folder cannot be made, or the folder the file is to be
    // written in (that of a link's target, for a link) cannot be written to.
    static std::unique_ptr<SettingsKey> createForWriting(const std::string& keyName,
                                                         std::string* error = nullptr);

    // Reads a 32-bit value (the data is the number's two's complement bits).
    // The data is left alone unless the value is found.
    ValueRead queryDword(const std::string& valueName, uint32_t& data) const;

    // Sets a 32-bit value; it is stored, written as a signed number, at close().
    // Setting a value twice keeps the last data.
    void setDword(const std::string& valueName, uint32_t data);

    // Ends the use of the key. A key opened for writing stores the values set
    // since it was opened, keeping everything else in the file; false, with the
    // reason in `error`, when they could not be stored (the file is then as it
    // was). A key opened for reading, or closed before, just returns true.
    bool close(std::string* error = nullptr);

    // A key dropped without close() stores nothing.
    ~SettingsKey() = default;

private:
    SettingsKey(std::string keyName, bool forWriting);

    std::string keyName_;
    bool forWriting_;
    bool closed_ = false;
    std::vector<std::pair<std::string, std::string>> readValues_;  // name, text
    std::vector<std::pair<std::string, uint32_t>> pending_;
};

} // namespace platform
