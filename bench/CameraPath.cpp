#include "CameraPath.h"

namespace {

// Segment ends as fractions of the path.
// At 300 frames the orbit turns the camera half way round, towards the lake; zoomed
// out and pitched low, the walk then carries it some 95 units towards the water, the
// cottage, the lamps and the trees.
constexpr double ORBIT_END = 0.225;
constexpr double ZOOM_OUT_END = 0.30;
constexpr double PITCH_END = 0.40;
constexpr double CLICK_END = 0.47;
constexpr double WALK_END = 0.85;
constexpr double ZOOM_IN_END = 0.92;

// A ground point below the screen centre, and the centre of the READY button.
constexpr int GROUND_X = 512, GROUND_Y = 560;
constexpr int READY_X = 665, READY_Y = 691;

}

CameraPath::CameraPath(SDL_Window* givenWindow, int givenFrames)
    : window(givenWindow), frames(givenFrames < MIN_FRAMES ? MIN_FRAMES : givenFrames) {}

void CameraPath::beforeFrame(int frame) {
    const int orbitEnd = at(ORBIT_END), zoomOutEnd = at(ZOOM_OUT_END), pitchEnd = at(PITCH_END);
    const int clickEnd = at(CLICK_END), walkEnd = at(WALK_END), zoomInEnd = at(ZOOM_IN_END);
    if (frame == 0) {
        key(SDL_KEYDOWN, SDLK_LEFT);
    } else if (frame == orbitEnd) {
        key(SDL_KEYUP, SDLK_LEFT);
    }
    if (frame >= orbitEnd && frame < zoomOutEnd) {
        wheel(-1);
    }
    if (frame >= zoomOutEnd && frame <= pitchEnd) {
        pitchDrag(frame - zoomOutEnd);
    }
    if (frame >= pitchEnd && frame < clickEnd) {
        clickGroundAndReady(frame - pitchEnd);
    }
    if (frame == clickEnd) {
        key(SDL_KEYDOWN, SDLK_w);
        key(SDL_KEYDOWN, SDLK_UP);
    } else if (frame == walkEnd) {
        key(SDL_KEYUP, SDLK_w);
        key(SDL_KEYUP, SDLK_UP);
    }
    if (frame >= walkEnd && frame < zoomInEnd && (frame - walkEnd) % 2 == 0) {
        wheel(1);
    }
    if (frame == zoomInEnd) {
        key(SDL_KEYDOWN, SDLK_RIGHT);
    } else if (frame == frames - 1) {
        key(SDL_KEYUP, SDLK_RIGHT);
    }
}

// Down to the lowest pitch (the furthest view), then a little back up.
void CameraPath::pitchDrag(int step) {
    const int length = at(PITCH_END) - at(ZOOM_OUT_END);
    if (step == 0) {
        motion(mouseX, mouseY);
        button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    } else if (step == length) {
        button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
    } else {
        motion(mouseX, mouseY + (step < 2 * length / 3 ? 1 : -1));
    }
}

// The game classifies clicks by SDL's own cursor, which only a warp moves; the
// warp's motion arrives with the next frame's events and the picker follows a frame later.
void CameraPath::clickGroundAndReady(int step) {
    switch (step) {
    case 0: SDL_WarpMouseInWindow(window, GROUND_X, GROUND_Y); break;
    case 2: button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT); break;
    case 3: button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT); break;
    case 4: SDL_WarpMouseInWindow(window, READY_X, READY_Y); break;
    case 6: button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT); break;
    case 7: button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT); break;
    default: break;
    }
}

void CameraPath::key(Uint32 type, SDL_Keycode code) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = code;
    SDL_PushEvent(&event);
}

void CameraPath::button(Uint32 type, Uint8 which) {
    SDL_Event event{};
    event.type = type;
    event.button.button = which;
    SDL_GetMouseState(&event.button.x, &event.button.y);
    SDL_PushEvent(&event);
}

void CameraPath::wheel(int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = y;
    SDL_PushEvent(&event);
}

void CameraPath::motion(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    event.motion.xrel = x - mouseX;
    event.motion.yrel = y - mouseY;
    SDL_PushEvent(&event);
    mouseX = x;
    mouseY = y;
}
