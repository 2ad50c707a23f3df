// Opening and reading the program's data files without ever waiting on one and
// without reading one without end: only a regular file (a link to one is
// followed) of at most a given size is read. A FIFO, a device, a socket or a
// folder in a file's place, or a file larger than any real file of its kind, is
// refused at once with the reason, as a broken file would be.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// An open regular file, closed with the object.
class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Opens `path` for reading. False, with the reason in error(), when it
    // cannot be opened, is not a regular file or holds more than maxBytes;
    // absent() then tells whether the file (or a folder on its way) does not
    // exist.
    bool open(const std::string& path, uint64_t maxBytes);

    // Reads the whole file from where it stands, at most the maxBytes given to
    // open(): a file that grows past them while it is read is refused.
    bool readAll(std::vector<uint8_t>& bytes);

    // Hands the descriptor over (to a library that reads it itself); the
    // caller closes it.
    int release();

    int descriptor() const { return fd_; }
    uint64_t size() const { return size_; }
    unsigned permissions() const { return permissions_; }
    bool absent() const { return absent_; }
    const std::string& error() const { return error_; }

private:
    void close();
    int fd_ = -1;
    uint64_t size_ = 0;
    uint64_t maxBytes_ = 0;
    unsigned permissions_ = 0;
    bool absent_ = false;
    std::string error_;
};

// The whole of a regular file of at most maxBytes bytes. False with the reason
// in `error` (and `absent`, when given, set as RegularFile::absent()).
bool readRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& error, bool* absent = nullptr);

} // namespace platform
