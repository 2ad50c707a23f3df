// A GL 1.1 context on a hidden window, current on the calling thread while the
// object lives.
#pragma once

#include <string>
#include <utility>

namespace platform {

// In sanitizer builds, keeps the software GL driver mapped until exit, so that
// the leak report at exit can name (and suppress) what the driver holds. Does
// nothing in other builds.
void keepGLDriverMapped();

// The largest viewport that GL reports, asked of a hidden context of its own:
// the largest window it can draw. INT_MAX for each when there is no GL.
std::pair<int, int> largestViewport();

class OffscreenGL {
public:
    OffscreenGL(int width = 256, int height = 256);
    ~OffscreenGL();
    OffscreenGL(const OffscreenGL&) = delete;
    OffscreenGL& operator=(const OffscreenGL&) = delete;

    bool ok() const { return context_ != nullptr; }
    const std::string& error() const { return error_; }

private:
    void* window_ = nullptr;
    void* context_ = nullptr;
    std::string error_;
};

} // namespace platform
