#pragma once
// The frame benchmark's scripted player: SDL events pushed before each frame of a
// path of `frames` frames, so the game reads them as it reads a person's input.
// In order: orbit left with the arrow key, zoom out with the wheel, pitch with a
// right-button drag, click a ground point and READY, walk with W while the up arrow
// carries the camera forward, zoom in, orbit right. Segments scale with the length.

#include <SDL2/SDL.h>

class CameraPath {
public:
    static constexpr int MIN_FRAMES = 100; // the click segment needs room for its steps

    CameraPath(SDL_Window* window, int frames);

    // Pushes the events of frame `frame` (0-based); call right before that frame.
    void beforeFrame(int frame);

private:
    int at(double fraction) const { return int(double(frames) * fraction); }
    void key(Uint32 type, SDL_Keycode code);
    void button(Uint32 type, Uint8 which);
    void wheel(int y);
    void motion(int x, int y);
    void pitchDrag(int frame);
    void clickGroundAndReady(int step);

    SDL_Window* window;
    int frames;
    int mouseX = 512, mouseY = 384; // pixels, where the pushed events put the cursor
};
