// skarvel: the screen saver. The command line after the program's name, joined
// with single blanks, is the screen-saver switch: "/s" full screen, "/p <window>"
// a preview inside that window, anything else the settings dialog.
#include "audio/audio.h"
#include "platform/stop_signals.h"
#include "shell/entry.h"

#include <string>

int main(int argc, char** argv)
{
    platform::catchStopSignals();
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
