// The texts' sound read-outs in this build's audio configuration: the full
// configuration shows its clips as the frame's placement left them, the others
// show no sound block.
#include "arena/sound_hooks.h"
#include "audio/audio.h"
#include "render/texts.h"

#ifdef SKARVEL_AUDIO_FULL
#include "audio_fixture.h"
#else
#include "tests/arena/arena_fixture.h"
#endif

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

namespace {

#ifdef SKARVEL_AUDIO_FULL
using ReadoutsTest = AudioArenaTest;
#else
class ReadoutsTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        startAudio();
    }
};
#endif

// The lines of the sound block (heights -0.12 to -0.10), in the order added.
std::vector<std::string> soundLines()
{
    TextList list;
    showSoundDebug = 1;
    collectTexts(list, {}, {}, {});
    resetTextFlags();
    std::vector<std::string> lines;
    for (const TextLine& line : list)
        if (line.y >= -0.125f && line.y <= -0.095f)
            lines.emplace_back(line.text);
    return lines;
}

#ifdef SKARVEL_AUDIO_FULL
TEST_F(ReadoutsTest, ShowTheClipsAsTheFramesPlacementLeftThem)
{
    const dBodyID owner = planes[4].wing.body;
    myCollide[2].odeBodyID = owner;
    myCollide[5].play();
    bubbleFly[1].play();
    soundHooks.frameDrawing();
    char owners[128];
    std::snprintf(owners, sizeof owners,
                  "activeSouceCount[1], ->odeBodyID:[ObjectID: -0 -0 -%" PRIdPTR " -0 -0 -0 -0]",
                  reinterpret_cast<intptr_t>(owner));
    const std::vector<std::string> expected = {
        owners, "bubbleFly[i].Isplaying?", "[0]", "[1]", "[0]", "[0]", "[0]", "[0]", "[0]",
        "myCollide[i].IsPlaying", "[0]", "[0]", "[0]", "[0]", "[0]", "[1]", "[0]"};
    EXPECT_EQ(soundLines(), expected);
}
#else
TEST_F(ReadoutsTest, ShowNoSoundBlock)
{
    EXPECT_TRUE(soundLines().empty());
}
#endif

} // namespace
