#include "platform/offscreen_gl/offscreen_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

TEST(OffscreenGL, GivesACurrentContextThatDraws)
{
    platform::OffscreenGL gl(64, 64);
    ASSERT_TRUE(gl.ok()) << gl.error();
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
}
