// Linked into the test programs that need an X display. Without one (DISPLAY
// not set, as for a plain ctest on a machine without X) their tests are skipped
// rather than failed; ./run-tests gives them a virtual display.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class NeedsDisplay : public ::testing::Environment {
public:
    void SetUp() override
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            GTEST_SKIP() << "no X display (DISPLAY is not set)";
    }
};

const ::testing::Environment* const needsDisplay = ::testing::AddGlobalTestEnvironment(new NeedsDisplay);

} // namespace
