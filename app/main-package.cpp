// The entry of the program the Debian package installs: the settings live in each user's own
// folder, never beside /usr/bin/kasorel, not even for root.
#include "app/startup.h"
#include "commands/startup.h"

int main(int argc, char* argv[]) {
    kasorel::KeepSettingsPerUserOnly();
    return kasorel::RunKasorel(argc, argv);
}
