// The roads that reach the GL state: a hidden GL context stands in for the one
// the fake window system pretends to make, so the viewport, the textures, the
// fonts and the frames are real.
#include "fake_window_system.h"

#include "arena/scene.h"
#include "platform/offscreen_gl/offscreen_gl.h"
#include "platform/window/virtual_keys.h"
#include "render/texts.h"
#include "shell/entry.h"
#include "shell/gl_window.h"
#include "tests/platform/settings/config_home.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace platform;
using Calls = std::vector<std::string>;

namespace {

class GLRoadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        gl = new OffscreenGL(640, 480);
        ASSERT_TRUE(gl->ok()) << gl->error();
    }
    static void TearDownTestSuite()
    {
        delete gl;
        gl = nullptr;
    }
    void SetUp() override
    {
        resetShellState();
        recordProgramDir();
    }
    void TearDown() override
    {
        killGLWindowIfOpen();
        destroyScene();
        resetShellState();
    }
    static void killGLWindowIfOpen()
    {
        if (hWnd)
            killGLWindow();
    }

    static OffscreenGL* gl;
    TemporaryConfigHome configHome;  // the full-screen road reads the settings: none of the user's
    FakeWindowSystem fake;
    BoxRecorder recorder{&fake};
};

OffscreenGL* GLRoadTest::gl = nullptr;

} // namespace

TEST_F(GLRoadTest, AWorkingWindowIsShownFocusedAndGivenItsViewport)
{
    ASSERT_TRUE(createGLWindow("Kestrova", 320, 240, 32, false, WS_CHILD, fake.host));
    EXPECT_EQ(fake.callsFrom("makeCurrent"),
              (Calls{"makeCurrent", "showWindow", "setForegroundWindow", "setFocus"}));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(GLRoadTest, AMissingPictureReleasesTheWindowBeforeItsBox)
{
    char empty[] = "/tmp/skarvel-no-pictures-XXXXXX";
    ASSERT_NE(mkdtemp(empty), nullptr);
    std::string dir = std::string(empty) + "/";
    std::memcpy(programDir, dir.c_str(), dir.size() + 1);

    EXPECT_FALSE(createGLWindow("Start", 640, 480, 32, true, WS_OVERLAPPEDWINDOW, 0));
    EXPECT_EQ(fake.callsFrom("setFocus"),
              (Calls{"setFocus", "restoreDisplaySettings", "showCursor", "releaseCurrent", "deleteContext",
                     "releaseDC", "destroyWindow", "unregisterClass"}));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, "Initialization Failed.");
    EXPECT_EQ(recorder.boxes[0].title, "OpenGL! ERROR");
    EXPECT_EQ(recorder.boxes[0].flags, 0x30u);
    EXPECT_EQ(recorder.callsBefore[0], fake.calls.size());
    rmdir(empty);
}

TEST_F(GLRoadTest, APreviewRunsUntilEscapeThenReleasesTheWindowAndTheWorld)
{
    fake.hostClient = Rect{0, 0, 200, 150};
    // Turn 1 takes the key, turn 2 sees it held and ends the loop.
    fake.messages.push_back(Message{nullptr, WM_KEYDOWN, VK_ESCAPE, 0});

    EXPECT_EQ(winMain("/p 1234"), 0);

    EXPECT_EQ(fake.title, "Kestrova");
    EXPECT_EQ(fake.width, 200);
    EXPECT_EQ(fake.height, 150);
    EXPECT_EQ(previewMode, 1);
    EXPECT_EQ(DrawCounter, 2u);
    EXPECT_FALSE(sceneExists());
    EXPECT_EQ(fake.callsFrom("releaseCurrent"),
              (Calls{"releaseCurrent", "deleteContext", "releaseDC", "destroyWindow", "unregisterClass"}));
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(GLRoadTest, AFullScreenRunEndsOnCloseWithExitCodeZero)
{
    fake.messages.push_back(Message{nullptr, WM_CLOSE, 0, 0});

    EXPECT_EQ(winMain("/s"), 0);

    EXPECT_EQ(fake.title, "Start");
    EXPECT_EQ(fake.style, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(previewMode, 0);
    EXPECT_FALSE(sceneExists());
    // The display mode is restored and the cursor shown again.
    EXPECT_EQ(fake.callsFrom("restoreDisplaySettings").at(1), "showCursor");
    EXPECT_TRUE(recorder.boxes.empty());
}
