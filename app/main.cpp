// Program entry: one window, one thread, exit code 0 once the window is closed.
#include "app/startup.h"

int main(int argc, char* argv[]) {
    return kasorel::RunKasorel(argc, argv);
}
