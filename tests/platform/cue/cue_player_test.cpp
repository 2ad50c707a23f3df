// The cue player: starts a file by name at once, one cue at a time.
#include "loopback_helpers.h"

#include "platform/cue/cue_player.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class CuePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto loopback = platform::OpenALSoundBackend::openLoopback(loopbackRate);
        ASSERT_TRUE(loopback->hasDevice());
        device = loopback.get();
        player = std::make_unique<platform::CuePlayer>(std::move(loopback));
        // Cue names are relative to the current directory.
        std::filesystem::create_directories(folder.path() / "data");
        folder.writeTone("data/long.wav", 440, 1.0);
        folder.writeTone("data/short.wav", 660, 0.2);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
    }

    void TearDown() override { std::filesystem::current_path(previous); }

    ScratchFolder folder;
    std::filesystem::path previous;
    platform::OpenALSoundBackend* device = nullptr;
    std::unique_ptr<platform::CuePlayer> player;
};

TEST_F(CuePlayerTest, StartsAtOnceAndANewCueStopsTheCurrentOne)
{
    player->play("data\\long.wav");
    EXPECT_TRUE(player->playing());
    Stereo start = render(*device, 0.1);
    EXPECT_GT(start.rms(0, 0, start.frames()), 0.05);

    // The short cue replaces the long one: after its 0.2 s nothing is left.
    player->play("data\\short.wav");
    auto [first, last] = render(*device, 0.6).audibleSpan();
    EXPECT_LE(first, 10u);
    EXPECT_NEAR(double(last), 0.2 * loopbackRate, 100);
    EXPECT_FALSE(player->playing());
}

TEST_F(CuePlayerTest, MissingFileIsSilentAndStopsTheCurrentCue)
{
    player->play("data\\long.wav");
    player->play("data\\missing.wav");
    EXPECT_FALSE(player->playing());
    EXPECT_EQ(render(*device, 0.1).audibleSpan().second, 0u);
    player->play("data/short.wav");
    EXPECT_TRUE(player->playing());
}

std::vector<std::string> heard;

TEST(PlayCue, ASinkReceivesTheNamesInsteadOfTheDevice)
{
    platform::setCueSink([](const std::string& name) { heard.push_back(name); });
    platform::playCue("data\\beep_1.wav");
    platform::playCue("data\\gun.wav");
    platform::setCueSink(nullptr);
    EXPECT_EQ(heard, (std::vector<std::string>{"data\\beep_1.wav", "data\\gun.wav"}));
}

TEST(PlayCue, WithoutASinkItReturnsAtOnceWhateverTheFile)
{
    // Taking the sink away hands the cues back to the machine's own device (or
    // none): the sink hears no more, and a missing or empty name neither waits
    // nor fails.
    heard.clear();
    platform::setCueSink([](const std::string& name) { heard.push_back(name); });
    platform::setCueSink(nullptr);
    platform::playCue("data\\no-such-cue.wav");
    platform::playCue("");
    EXPECT_TRUE(heard.empty());
}

} // namespace
