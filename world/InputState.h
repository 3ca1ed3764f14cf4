#pragma once
// What the event handler records each frame for the camera, movement and picker:
// held keys and mouse buttons, and the cursor in window pixels (x right, y down).

#include <unordered_map>
#include <unordered_set>

// The codes the game reads, as SDL reports them (keycodes and button numbers); app/GameEvents.cpp
// checks them against SDL at compile time.
namespace Keys {
constexpr int W = 'w', A = 'a', S = 's', D = 'd';
constexpr int RIGHT = 0x4000004F, LEFT = 0x40000050, DOWN = 0x40000051, UP = 0x40000052;
constexpr int LEFT_BUTTON = 1, MIDDLE_BUTTON = 2, RIGHT_BUTTON = 3;
}

struct InputState {
    std::unordered_map<int, bool> pressed; // SDL keycode or mouse button number -> held
    float mouseX = 0, mouseY = 0;
    float lastMouseX = 0, lastMouseY = 0;
    float mouseDX = 0, mouseDY = 0; // motion since the previous frame's events
    bool hasMouse = false;

    // Called before a frame's events: releases held back from the last frame take
    // effect, and the mouse deltas start again from zero.
    void startFrame();
    void press(int code);
    // A code that went down during this frame's events stays held for the frame, so
    // a click or tap shorter than a frame is still seen; the release waits for the next.
    void release(int code);

    // A key or button that never had an event reads as not held.
    bool isHeld(int code) const {
        const auto found = pressed.find(code);
        return found != pressed.end() && found->second;
    }

private:
    std::unordered_set<int> wentDown;         // codes that went down during this frame's events
    std::unordered_set<int> releaseNextFrame; // releases of those, held back one frame
};
