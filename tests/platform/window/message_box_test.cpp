#include "platform/window/message_box.h"
#include "platform/stop_signals.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace platform;

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        setMessageBoxHook({});
        unsetenv("SKARVEL_MESSAGE_BOX_ANSWER");
    }
};

} // namespace

TEST_F(MessageBoxTest, AHookAnswersAndTheBoxGoesToStderr)
{
    std::string seen;
    setMessageBoxHook([&seen](const std::string& text, const std::string& title, uint32_t flags) {
        seen = title + "|" + text + "|" + std::to_string(flags);
        return IDYES;
    });
    testing::internal::CaptureStderr();
    int answer = messageBox("Go on?", "GL", MB_YESNO | MB_ICONEXCLAMATION);
    std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(seen, "GL|Go on?|52");
    EXPECT_EQ(written, "GL: Go on?\n");
}

TEST_F(MessageBoxTest, TheEnvironmentAnswersWithoutShowingTheBox)
{
    testing::internal::CaptureStderr();
    setenv("SKARVEL_MESSAGE_BOX_ANSWER", "yes", 1);
    EXPECT_EQ(messageBox("Go on?", "GL", MB_YESNO), IDYES);
    EXPECT_EQ(messageBox("Done.", "ERROR", MB_OK | MB_ICONSTOP), IDOK);
    setenv("SKARVEL_MESSAGE_BOX_ANSWER", "no", 1);
    EXPECT_EQ(messageBox("Go on?", "GL", MB_YESNO), IDNO);
    EXPECT_EQ(messageBox("Done.", "ERROR", MB_OK), IDOK);
    setenv("SKARVEL_MESSAGE_BOX_ANSWER", "", 1);
    EXPECT_EQ(messageBox("Go on?", "GL", MB_YESNO), IDNO);
    testing::internal::GetCapturedStderr();
}

TEST_F(MessageBoxTest, AfterAStopSignalABoxIsAnsweredAsEscapeWithoutWaiting)
{
    // Without a display a box that tried to show would take its first button.
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    requestStop();
    testing::internal::CaptureStderr();
    EXPECT_EQ(messageBox("Go on?", "GL", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    EXPECT_EQ(messageBox("Done.", "ERROR", MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "GL: Go on?\nERROR: Done.\n");
    forgetStop();
    if (!display.empty())
        setenv("DISPLAY", display.c_str(), 1);
}
