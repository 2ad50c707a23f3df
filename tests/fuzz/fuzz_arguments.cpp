// The argument text of the screen-saver host: the role it asks for, and the
// preview's window handle after the first blank, which must agree with a plain
// strtoll reading (a number that is negative or too large for a window id names
// no window).
#include "shell/entry.h"
#include "tests/fuzz/fuzz_support.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

platform::HostWindow expectedHandle(const char* text)
{
    const char* blank = std::strchr(text, ' ');
    if (!blank)
        return 0;
    errno = 0;
    long long value = std::strtoll(blank, nullptr, 10);
    if (errno == ERANGE || value < 0 || value > 0xFFFFFFFFll)
        return 0;
    return static_cast<platform::HostWindow>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The host hands over a C string: the text ends at the first zero byte.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* argumentText = text.c_str();

    screenSaverRole(argumentText);
    fuzz::check(previewHostWindow(argumentText) == expectedHandle(argumentText));
    return 0;
}
