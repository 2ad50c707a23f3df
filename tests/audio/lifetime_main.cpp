// The audio objects' lifetime, seen by the recording device: the sound system is
// built before main and before every clip (each clip copies its device), and
// after main returns the loaded clips are released in reverse order of building
// (guns 6 to 0, tunes 2 to 0, effects 6 to 0, the start-up clip), then the
// sound system stops everything and closes. Run with --no-scene, nothing is
// loaded and only the sound system is released. Exits 1 on any difference.
#include "recording_backend.h"

#include "audio/sound_clip.h"
#include "platform/paths.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void fail(const std::string& what, const std::vector<std::string>& got, const std::vector<std::string>& expected)
{
    std::fprintf(stderr, "audio lifetime: %s\n  got:", what.c_str());
    for (const auto& e : got)
        std::fprintf(stderr, " [%s]", e.c_str());
    std::fprintf(stderr, "\n  expected:");
    for (const auto& e : expected)
        std::fprintf(stderr, " [%s]", e.c_str());
    std::fprintf(stderr, "\n");
    std::_Exit(1);
}

// Built after the recorder and before the audio objects, so it is destroyed after
// every audio object and sees their whole release.
struct CheckReleaseAtExit {
    std::vector<std::string> expectedAtExit;
    size_t logAtEndOfMain = 0;

    ~CheckReleaseAtExit()
    {
        const auto& log = soundRecording.log;
        std::vector<std::string> released(log.begin() + long(logAtEndOfMain), log.end());
        if (released != expectedAtExit)
            fail("release at exit", released, expectedAtExit);
        std::printf("audio lifetime: construction and release in order\n");
    }
};

} // namespace

static CheckReleaseAtExit checkReleaseAtExit __attribute__((init_priority(102)));

int main(int argc, char** argv)
{
    std::string directory = platform::currentDirectory();
    directory.pop_back();
    const std::vector<std::string> built = {"open", "search " + directory + "//sounds"};
    if (soundRecording.log != built)
        fail("construction before main", soundRecording.log, built);

    std::vector<SoundClip*> clips = {&coinClip};
    for (SoundClip& c : myCollide)
        clips.push_back(&c);
    for (SoundClip& c : musicClips)
        clips.push_back(&c);
    for (SoundClip& c : bubbleFly)
        clips.push_back(&c);
    for (SoundClip* clip : clips)
        if (clip->performance != soundSystem.performance.get() || clip->segment != 0 || clip->odeBodyID)
            fail("a clip built before the sound system or not empty", {}, {});

    const bool scene = !(argc > 1 && std::strcmp(argv[1], "--no-scene") == 0);
    if (scene) {
        loadSounds();
        // Load order gave: start-up 1, tunes 2 to 4, effects 5 to 11, guns 12 to 18.
        for (int id = 18; id >= 12; --id)
            checkReleaseAtExit.expectedAtExit.push_back("release " + std::to_string(id));
        for (int id = 4; id >= 2; --id)
            checkReleaseAtExit.expectedAtExit.push_back("release " + std::to_string(id));
        for (int id = 11; id >= 5; --id)
            checkReleaseAtExit.expectedAtExit.push_back("release " + std::to_string(id));
        checkReleaseAtExit.expectedAtExit.push_back("release 1");
    }
    checkReleaseAtExit.expectedAtExit.push_back("stop");
    checkReleaseAtExit.expectedAtExit.push_back("close");
    checkReleaseAtExit.logAtEndOfMain = soundRecording.log.size();
    return 0;
}
