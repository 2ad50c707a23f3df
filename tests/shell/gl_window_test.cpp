// The failing steps of createGLWindow and the release steps of killGLWindow.
// Every failure here happens before the GL state is set, so no GL is needed.
#include "fake_window_system.h"

#include "shell/gl_window.h"

#include <gtest/gtest.h>

using namespace platform;
using Calls = std::vector<std::string>;

namespace {

class GLWindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        hInstance = nullptr;
        hWnd = nullptr;
        hDC = nullptr;
        hRC = nullptr;
        fullscreen = 0;
    }
    bool createFullScreen() { return createGLWindow("Start", 1024, 768, 32, true, WS_OVERLAPPEDWINDOW, 0); }

    FakeWindowSystem fake;
    BoxRecorder recorder{&fake};
};

struct FailingStep {
    const char* call;
    const char* box;
    Calls released;  // killGLWindow's calls, after the display mode and the cursor
};

const FailingStep failingSteps[] = {
    {"createWindowEx", "Window Creation Error.", {"unregisterClass"}},
    {"getDC", "Can't Create A GL Device Context.", {"destroyWindow", "unregisterClass"}},
    {"choosePixelFormat", "Can't Find A Suitable PixelFormat.",
     {"releaseDC", "destroyWindow", "unregisterClass"}},
    {"setPixelFormat", "Can't Set The PixelFormat.", {"releaseDC", "destroyWindow", "unregisterClass"}},
    {"createContext", "Can't Create A GL Rendering Context.",
     {"releaseDC", "destroyWindow", "unregisterClass"}},
    {"makeCurrent", "Can't Activate The GL Rendering Context.",
     {"releaseCurrent", "deleteContext", "releaseDC", "destroyWindow", "unregisterClass"}},
};

} // namespace

TEST_F(GLWindowTest, EachFailingStepReleasesWhatItMadeThenSaysWhich)
{
    for (const auto& step : failingSteps) {
        SCOPED_TRACE(step.call);
        fake.calls.clear();
        recorder.boxes.clear();
        recorder.callsBefore.clear();
        fake.failing = {step.call};

        EXPECT_FALSE(createFullScreen());

        // Released in order, the full-screen mode first, and all before the box.
        Calls expected = {step.call, "restoreDisplaySettings", "showCursor"};
        expected.insert(expected.end(), step.released.begin(), step.released.end());
        EXPECT_EQ(fake.callsFrom(step.call), expected);
        ASSERT_EQ(recorder.boxes.size(), 1u);
        EXPECT_EQ(recorder.boxes[0].text, step.box);
        EXPECT_EQ(recorder.boxes[0].title, "ERROR");
        EXPECT_EQ(recorder.boxes[0].flags, 0x30u);
        EXPECT_EQ(recorder.callsBefore[0], fake.calls.size());
        EXPECT_EQ(hWnd, nullptr);
        EXPECT_EQ(hDC, nullptr);
        EXPECT_EQ(hRC, nullptr);
    }
}

TEST_F(GLWindowTest, AFailedClassRegistrationReleasesNothing)
{
    fake.failing = {"registerClass"};
    EXPECT_FALSE(createFullScreen());
    EXPECT_EQ(fake.calls, Calls{"registerClass"});
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, "Failed To Register The Window Class.");
    EXPECT_EQ(recorder.boxes[0].title, "ERROR");
    EXPECT_EQ(recorder.boxes[0].flags, 0x30u);
}

TEST_F(GLWindowTest, ARefusedModeAnsweredNoClosesWithoutAWindow)
{
    fake.failing = {"changeDisplaySettings"};
    recorder.answer = IDNO;
    EXPECT_FALSE(createFullScreen());
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[0].text,
              "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?");
    EXPECT_EQ(recorder.boxes[0].title, "GL");
    EXPECT_EQ(recorder.boxes[0].flags, 0x34u);
    EXPECT_EQ(recorder.boxes[1].text, "Program Will Now Close.");
    EXPECT_EQ(recorder.boxes[1].title, "ERROR");
    EXPECT_EQ(recorder.boxes[1].flags, 0x10u);
    EXPECT_FALSE(fake.called("createWindowEx"));
    EXPECT_FALSE(fake.called("restoreDisplaySettings"));
    EXPECT_FALSE(fake.called("hideCursor"));
}

TEST_F(GLWindowTest, ARefusedModeAnsweredYesMakesAnOrdinaryWindowAndRestoresNoMode)
{
    fake.failing = {"changeDisplaySettings", "createContext"};
    recorder.answer = IDYES;
    EXPECT_FALSE(createFullScreen());
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(fake.style, WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(fake.exStyle, 0x40100u);
    EXPECT_EQ(fake.width, 1024);
    EXPECT_EQ(fake.height, 768);
    EXPECT_EQ(fake.title, "Start");
    EXPECT_EQ(fake.parent, 0u);
    EXPECT_FALSE(fake.called("hideCursor"));
    EXPECT_FALSE(fake.called("restoreDisplaySettings"));
}

TEST_F(GLWindowTest, TheThreeFormsHaveTheirStyles)
{
    fake.failing = {"createContext"};  // stops each form after its window exists
    createFullScreen();
    EXPECT_EQ(fake.style, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(fake.exStyle, 0x40000u);
    EXPECT_EQ(fake.width, 1024);
    EXPECT_EQ(fake.height, 768);
    EXPECT_EQ(fake.callsFrom("changeDisplaySettings").at(1), "hideCursor");

    createGLWindow("Kestrova", 320, 240, 32, false, WS_CHILD, fake.host);
    EXPECT_EQ(fake.style, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(fake.exStyle, 0x40100u);
    EXPECT_EQ(fake.parent, fake.host);
    EXPECT_EQ(fake.width, 320);
    EXPECT_EQ(fake.height, 240);
}

TEST_F(GLWindowTest, ReleaseFailuresAreReportedInOrderAndEveryStepStillRuns)
{
    fake.failing = {"deleteContext", "destroyWindow"};
    char handle;
    fullscreen = 1;
    hRC = reinterpret_cast<RenderContextHandle>(&handle);
    hDC = reinterpret_cast<DeviceContextHandle>(&handle);
    hWnd = reinterpret_cast<WindowHandle>(&handle);
    killGLWindow();
    EXPECT_EQ(fake.calls, (Calls{"restoreDisplaySettings", "showCursor", "releaseCurrent", "deleteContext",
                                 "releaseDC", "destroyWindow", "unregisterClass"}));
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[0].text, "Release Rendering Context Failed.");
    EXPECT_EQ(recorder.boxes[1].text, "Could Not Release hWnd.");
    for (const auto& box : recorder.boxes) {
        EXPECT_EQ(box.title, "SHUTDOWN ERROR");
        EXPECT_EQ(box.flags, 0x40u);
    }
}

TEST_F(GLWindowTest, EveryReleaseFailureHasItsBox)
{
    fake.failing = {"releaseCurrent", "releaseDC", "unregisterClass"};
    char handle;
    hRC = reinterpret_cast<RenderContextHandle>(&handle);
    hDC = reinterpret_cast<DeviceContextHandle>(&handle);
    killGLWindow();
    EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"Release Of DC And RC Failed.",
                                                          "Release Device Context Failed.",
                                                          "Could Not Unregister Class."}));
    EXPECT_FALSE(fake.called("restoreDisplaySettings"));
    EXPECT_FALSE(fake.called("destroyWindow"));
}
