// skarvel: the screen saver. The command line after the program's name, joined
// with single blanks, is the screen-saver switch: "/s" full screen, "/p <window>"
// a preview inside that window, anything else the settings dialog.
#include "audio/audio.h"
#include "platform/stop_signals.h"
#include "shell/entry.h"

#include <string>

namespace {

// Before any object of the program is constructed: the sound system opens its
// device as it is made, which can wait long on a sound server, and the sound
// library may already write to stderr. A stop signal ends that wait too, and a
// reader of stderr that has gone kills nothing.
__attribute__((constructor(101))) void catchSignalsFirst()
{
    platform::catchStopSignals();
}

} // namespace

int main(int argc, char** argv)
{
    startAudio();
    std::string argumentText;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            argumentText += ' ';
        argumentText += argv[i];
    }
    const int exitCode = winMain(argumentText.c_str());
    platform::noteOrdinaryEnd();
    return exitCode;
}
