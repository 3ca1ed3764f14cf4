#include "app/FatalError.h"
#include "app/Game.h"
#include "app/HeapTuning.h"

#include <SDL2/SDL.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace {
// A standard stream started closed (`wm >&-`) would be taken by the next file or
// connection opened, and console lines written into it: the X connection then breaks
// and the game hangs. /dev/null holds each such place, so those lines go nowhere.
void fillClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // open takes the lowest free descriptor: this one, as every lower one is open by now.
        open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
}

int playGame() {
    Game game;
    game.startUp();
    game.run();
    return 0;
}
}

int main(int, char**) {
    fillClosedStandardStreams();
    SDL_SetMainReady();
    tuneHeapForLoading();
    try {
        std::exit(playGame());
    } catch (const std::bad_alloc&) {
        // The loaders name their file; this is for memory that runs out anywhere else.
        fatalError("Ran out of memory");
    }
}
