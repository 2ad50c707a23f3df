#include "platform/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

RegularFile::~RegularFile()
{
    close();
}

RegularFile::RegularFile(RegularFile&& other) noexcept
{
    *this = std::move(other);
}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        maxBytes_ = other.maxBytes_;
        permissions_ = other.permissions_;
        absent_ = other.absent_;
        error_ = std::move(other.error_);
    }
    return *this;
}

void RegularFile::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool RegularFile::open(const std::string& path, uint64_t maxBytes)
{
    close();
    absent_ = false;
    error_.clear();
    size_ = 0;
    maxBytes_ = maxBytes;
    // What is no regular file or is too large; empty when the file will do.
    auto judge = [maxBytes](const struct stat& info) -> std::string {
        if (!S_ISREG(info.st_mode))
            return S_ISDIR(info.st_mode) ? "a folder, not a file" : "not a regular file";
        if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxBytes)
            return "larger than " + std::to_string(maxBytes) + " bytes";
        return {};
    };
    // Looked at before it is opened, so that a device in a file's place is
    // never opened (opening one can act on it). The open itself does not wait
    // either, and what it opened is judged again: the name may have been given
    // to something else meanwhile.
    struct stat info {};
    int probe = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    int fd = -1;
    if (probe >= 0) {
        const bool looked = fstat(probe, &info) == 0;
        const int lookError = errno;
        ::close(probe);
        if (!looked)
            error_ = std::strerror(lookError);
        else if (error_ = judge(info); error_.empty())
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (!error_.empty())
            return false;
    }
    if (fd < 0) {
        absent_ = errno == ENOENT || errno == ENOTDIR;
        error_ = std::strerror(errno);
        return false;
    }
    if (fstat(fd, &info) != 0)
        error_ = std::strerror(errno);
    else
        error_ = judge(info);
    if (!error_.empty()) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<uint64_t>(info.st_size);
    permissions_ = info.st_mode & 07777;
    return true;
}

bool RegularFile::readAll(std::vector<uint8_t>& bytes)
{
    bytes.clear();
    if (fd_ < 0) {
        if (error_.empty())
            error_ = "not open";
        return false;
    }
    bytes.reserve(static_cast<size_t>(size_));
    uint8_t buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error_ = std::strerror(errno);
            bytes.clear();
            return false;
        }
        if (n == 0)
            return true;
        if (static_cast<uint64_t>(n) > maxBytes_ - bytes.size()) {
            error_ = "larger than " + std::to_string(maxBytes_) + " bytes";
            bytes.clear();
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

int RegularFile::release()
{
    return std::exchange(fd_, -1);
}

bool readRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& bytes, std::string& error,
                     bool* absent)
{
    RegularFile file;
    bool read = file.open(path, maxBytes) && file.readAll(bytes);
    if (!read) {
        error = file.error();
        bytes.clear();
    }
    if (absent)
        *absent = file.absent();
    return read;
}

} // namespace platform
