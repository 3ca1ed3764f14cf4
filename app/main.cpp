#include "app/FatalError.h"
#include "app/Game.h"
#include "app/HeapTuning.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <new>

namespace {
int playGame() {
    Game game;
    game.startUp();
    game.run();
    return 0;
}
}

int main(int, char**) {
    SDL_SetMainReady();
    tuneHeapForLoading();
    try {
        std::exit(playGame());
    } catch (const std::bad_alloc&) {
        // The loaders name their file; this is for memory that runs out anywhere else.
        fatalError("Ran out of memory");
    }
}
