#include "app/Game.h"
#include "app/HeapTuning.h"

#include <SDL2/SDL.h>

#include <cstdlib>

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
    std::exit(playGame());
}
