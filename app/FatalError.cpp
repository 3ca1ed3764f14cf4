#include "app/FatalError.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <iostream>

void fatalError(std::string message) {
    std::cout << message << std::endl;
    std::cout << "Enter any key to quit...";
    std::cout.flush();
    int answer = 0;
    std::cin >> answer;
    SDL_Quit();
    std::exit(FATAL_EXIT_CODE);
}

void fatalOutOfMemory(const std::string& path) {
    fatalError("Ran out of memory loading " + path);
}
