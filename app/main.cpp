#include "app/Game.h"

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
    std::exit(playGame());
}
