#include "world/InputState.h"

void InputState::startFrame() {
    for (const int code : releaseNextFrame) {
        pressed[code] = false;
    }
    releaseNextFrame.clear();
    wentDown.clear();
    mouseDX = 0.0f;
    mouseDY = 0.0f;
}

void InputState::press(int code) {
    // A key's auto-repeat comes while it is held: that is no new press.
    if (!isHeld(code)) {
        wentDown.insert(code);
    }
    pressed[code] = true;
    releaseNextFrame.erase(code);
}

void InputState::release(int code) {
    if (wentDown.count(code) != 0) {
        releaseNextFrame.insert(code);
        return;
    }
    pressed[code] = false;
}
