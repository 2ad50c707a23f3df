#include "platform/paths.h"

#include <climits>
#include <unistd.h>
#include <vector>

namespace platform {

std::string programDirectory()
{
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return {};
    std::string path(buffer.data(), static_cast<size_t>(n));
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return path.substr(0, slash + 1);
}

std::string currentDirectory()
{
    std::vector<char> buffer(PATH_MAX + 1);
    if (!getcwd(buffer.data(), buffer.size()))
        return {};
    std::string dir(buffer.data());
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string nativePath(const std::string& name)
{
    std::string path = name;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

} // namespace platform
