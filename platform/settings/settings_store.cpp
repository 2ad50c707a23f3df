#include "platform/settings/settings_store.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/regular_file.h"

namespace platform {

namespace {

constexpr const char* fileFolder = "skarvel";
constexpr const char* fileName = "settings.ini";

std::string_view trim(std::string_view s)
{
    const char* blanks = " \t\r\v\f";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// What one line of the file is. Anything that is neither a section header nor
// a "name=text" line is kept as it stands and otherwise ignored.
struct Line {
    enum class Kind { other, section, value } kind = Kind::other;
    std::string_view name;
    std::string_view text;
};

Line classify(std::string_view raw)
{
    Line line;
    std::string_view t = trim(raw);
    if (t.empty() || t.front() == ';' || t.front() == '#')
        return line;
    if (t.front() == '[') {
        size_t close = t.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = Line::Kind::section;
            line.name = trim(t.substr(1, close - 1));
        }
        return line;
    }
    size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return line;
    line.name = trim(t.substr(0, eq));
    if (line.name.empty())
        return line;
    line.kind = Line::Kind::value;
    line.text = trim(t.substr(eq + 1));
    return line;
}

// The UTF-8 byte-order mark that some editors put at the start of a text file.
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// A byte-order mark at the start of the file; empty when there is none.
std::string_view markOf(std::string_view content)
{
    return content.substr(0, content.compare(0, byteOrderMark.size(), byteOrderMark) == 0 ? byteOrderMark.size() : 0);
}

// One line of the file: its text and the line end after it ("\n", "\r\n" or
// "\r", as the file has it; empty for a last line without one).
struct TextLine {
    std::string_view text;
    std::string_view end;
};

// The lines of a text (past its byte-order mark), whatever their line ends; a
// last line without one counts too.
std::vector<TextLine> splitLines(std::string_view content)
{
    content.remove_prefix(markOf(content).size());
    std::vector<TextLine> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back({content.substr(start), {}});
            break;
        }
        size_t next = end + 1;
        if (content[end] == '\r' && next < content.size() && content[next] == '\n')
            ++next;
        lines.push_back({content.substr(start, end - start), content.substr(end, next - end)});
        start = next;
    }
    return lines;
}

// A signed 32-bit decimal with an optional sign and nothing else.
bool parseInt32(std::string_view text, int32_t& value)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > int64_t{1} << 31)
            return false;
    }
    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX)
        return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

std::string describeErrno(const std::string& what, const std::string& path, int err)
{
    return what + " " + path + ": " + std::strerror(err);
}

enum class FileRead { ok, absent, failed };

// No real settings file comes near this size: a larger one is refused unread,
// and none is written larger.
constexpr uint64_t maxSettingsFileBytes = 1 << 20;

// Reads the whole file, following links. A file or folder that does not exist
// is absent; any other trouble (not a regular file, too large, unreadable) is
// a failure with its reason.
FileRead readFile(const std::string& path, std::string& content, mode_t& mode, std::string& error)
{
    RegularFile file;
    std::vector<uint8_t> bytes;
    if (!file.open(path, maxSettingsFileBytes) || !file.readAll(bytes)) {
        if (file.absent())
            return FileRead::absent;
        error = "cannot read " + path + ": " + file.error();
        return FileRead::failed;
    }
    mode = static_cast<mode_t>(file.permissions() & 0777);
    content.assign(bytes.begin(), bytes.end());
    return FileRead::ok;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == 0)
        return "/";
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Links followed before giving up, as the kernel does (ELOOP).
constexpr int maxLinkHops = 40;

// The file that writing `path` must replace: the path itself, or, when it is a
// symbolic link, the file the link (perhaps through further links) points to,
// which need not exist yet. False, with the reason, on a loop of links.
bool fileBehindLinks(const std::string& path, std::string& file, std::string& error)
{
    file = path;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(file.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;  // nothing there, or no link: writing fails or succeeds here
        char target[PATH_MAX];
        ssize_t n = ::readlink(file.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof target) {
            // An empty target names nothing (no file system should hold one).
            error = describeErrno("cannot follow the link", file, n < 0 ? errno : n == 0 ? ENOENT : ENAMETOOLONG);
            return false;
        }
        std::string next(target, static_cast<size_t>(n));
        file = next.front() == '/' ? next : folderOf(file) + "/" + next;
    }
    error = describeErrno("cannot write", path, ELOOP);
    return false;
}

// Makes a folder and its missing parents (like mkdir -p).
bool makeFolders(const std::string& folder, std::string& error)
{
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/')
            continue;
        std::string part = folder.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = describeErrno("cannot make the folder", part, errno);
            return false;
        }
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        error = describeErrno("cannot use the folder", folder, errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = "cannot use the folder " + folder + ": not a folder";
        return false;
    }
    return true;
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Replaces the file with `content` through a temporary file in the same folder;
// content that could not be read back is not written. `path` must be no link
// (see fileBehindLinks).
bool replaceFile(const std::string& path, const std::string& content, mode_t mode, std::string& error)
{
    if (content.size() > maxSettingsFileBytes) {
        error = "cannot write " + path + ": it would be larger than " + std::to_string(maxSettingsFileBytes) +
                " bytes";
        return false;
    }
    std::string folder = folderOf(path);
    std::string temporary = folder + "/." + baseNameOf(path) + ".XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = describeErrno("cannot write into the folder", folder, errno);
        return false;
    }
    bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        err = errno;
    }
    if (written && ::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        err = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        error = describeErrno("cannot write", path, err);
        return false;
    }
    // Make the rename itself durable; the data is already safe either way.
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

// The file's text with the key's values set: a value that has a line gets that
// line rewritten in place (left as it is when it already holds the number), the
// others go at the end of the key's first section, or into a new section at
// the end of the file. Every other line, the byte-order mark and every line end
// stay as they were; added lines take the line end of the line before them.
std::string withValues(const std::string& content, const std::string& keyName,
                       const std::vector<std::pair<std::string, uint32_t>>& values)
{
    std::vector<TextLine> lines = splitLines(content);
    struct OutLine {
        std::string text;
        std::string end;
    };
    std::vector<OutLine> out;
    for (const TextLine& line : lines)
        out.push_back({std::string(line.text), std::string(line.end)});
    std::vector<bool> placed(values.size(), false);
    auto valueLine = [&values](size_t v) {
        return values[v].first + "=" + std::to_string(static_cast<int32_t>(values[v].second));
    };

    bool inKey = false;
    size_t firstSection = lines.size();  // index of the key's first header
    size_t insertAt = lines.size();      // after the last non-blank line of that section
    bool firstSectionDone = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        Line line = classify(lines[i].text);
        if (line.kind == Line::Kind::section) {
            if (inKey)
                firstSectionDone = true;
            inKey = sameName(line.name, keyName);
            if (inKey && firstSection == lines.size()) {
                firstSection = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inKey)
            continue;
        if (!firstSectionDone && !trim(lines[i].text).empty())
            insertAt = i + 1;
        if (line.kind != Line::Kind::value)
            continue;
        for (size_t v = 0; v < values.size(); ++v) {
            if (placed[v] || !sameName(line.name, values[v].first))
                continue;
            int32_t present = 0;
            if (!parseInt32(line.text, present) || present != static_cast<int32_t>(values[v].second))
                out[i].text = valueLine(v);
            placed[v] = true;
            break;
        }
    }

    // The line end for lines added after the first `count` lines.
    auto endAfter = [&lines](size_t count) -> std::string {
        for (size_t i = count; i-- > 0;)
            if (!lines[i].end.empty())
                return std::string(lines[i].end);
        return "\n";
    };
    std::vector<OutLine> added;
    size_t at = firstSection == lines.size() ? lines.size() : insertAt;  // at least 1 in a section
    std::string end = endAfter(at);
    for (size_t v = 0; v < values.size(); ++v)
        if (!placed[v])
            added.push_back({valueLine(v), end});
    if (firstSection == lines.size()) {
        if (!out.empty() && out.back().end.empty())
            out.back().end = end;  // the last line had none
        if (!out.empty() && !trim(out.back().text).empty())
            out.push_back({"", end});
        out.push_back({"[" + keyName + "]", end});
        out.insert(out.end(), added.begin(), added.end());
    } else if (!added.empty()) {
        if (out[at - 1].end.empty())
            out[at - 1].end = end;  // the last line had none
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    }

    std::string text(markOf(content));
    for (const OutLine& line : out)
        text += line.text + line.end;
    return text;
}

} // namespace

std::string settingsFilePath()
{
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        std::string homeFolder = home && home[0] ? home : "";
        if (homeFolder.empty()) {
            if (const passwd* user = getpwuid(getuid()); user && user->pw_dir)
                homeFolder = user->pw_dir;
        }
        base = (homeFolder.empty() ? std::string(".") : homeFolder) + "/.config";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/" + fileFolder + "/" + fileName;
}

SettingsKey::SettingsKey(std::string keyName, bool forWriting)
    : keyName_(std::move(keyName)), forWriting_(forWriting)
{
}

std::unique_ptr<SettingsKey> SettingsKey::openForReading(const std::string& keyName, std::string* error)
{
    if (error)
        error->clear();
    std::string content;
    std::string reason;
    mode_t mode = 0;
    FileRead result = readFile(settingsFilePath(), content, mode, reason);
    if (result != FileRead::ok) {
        if (error && result == FileRead::failed)
            *error = reason;
        return nullptr;
    }
    std::unique_ptr<SettingsKey> key(new SettingsKey(keyName, false));
    bool sectionFound = false;
    bool inKey = false;
    for (const TextLine& raw : splitLines(content)) {
        Line line = classify(raw.text);
        if (line.kind == Line::Kind::section) {
            inKey = sameName(line.name, keyName);
            sectionFound = sectionFound || inKey;
        } else if (inKey && line.kind == Line::Kind::value) {
            key->readValues_.emplace_back(std::string(line.name), std::string(line.text));
        }
    }
    if (!sectionFound)
        return nullptr;
    return key;
}

std::unique_ptr<SettingsKey> SettingsKey::createForWriting(const std::string& keyName, std::string* error)
{
    std::string path = settingsFilePath();
    std::string file;
    std::string reason;
    bool usable = makeFolders(folderOf(path), reason) && fileBehindLinks(path, file, reason);
    if (usable && ::access(folderOf(file).c_str(), W_OK) != 0) {
        reason = describeErrno("cannot write into the folder", folderOf(file), errno);
        usable = false;
    }
    if (!usable) {
        if (error)
            *error = reason;
        return nullptr;
    }
    return std::unique_ptr<SettingsKey>(new SettingsKey(keyName, true));
}

ValueRead SettingsKey::queryDword(const std::string& valueName, uint32_t& data) const
{
    for (const auto& [name, text] : readValues_) {
        if (!sameName(name, valueName))
            continue;
        int32_t value = 0;
        if (!parseInt32(text, value))
            return ValueRead::unreadable;
        data = static_cast<uint32_t>(value);
        return ValueRead::found;
    }
    return ValueRead::missing;
}

void SettingsKey::setDword(const std::string& valueName, uint32_t data)
{
    for (auto& [name, value] : pending_) {
        if (sameName(name, valueName)) {
            value = data;
            return;
        }
    }
    pending_.emplace_back(valueName, data);
}

bool SettingsKey::close(std::string* error)
{
    if (closed_ || !forWriting_) {
        closed_ = true;
        return true;
    }
    closed_ = true;
    std::string path = settingsFilePath();
    std::string file;
    std::string content;
    std::string reason;
    mode_t mode = 0600;
    // A file that exists but cannot be read is never overwritten: its values
    // would be lost. A link stays a link: the file it points to is replaced.
    if (readFile(path, content, mode, reason) == FileRead::failed || !fileBehindLinks(path, file, reason) ||
        !replaceFile(file, withValues(content, keyName_, pending_), mode, reason)) {
        if (error)
            *error = reason;
        return false;
    }
    return true;
}

} // namespace platform
