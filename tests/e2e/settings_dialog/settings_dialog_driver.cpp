// The settings road of the program on its own: shows the settings dialog, then
// ends with 0.
#include "shell/settings.h"

int main()
{
    runSettingsDialog();
    return 0;
}
