#pragma once
// Third-person orbit camera around a target player (the game's camera anchor).
// Pitch follows the right mouse button, distance the wheel.

#include "world/Transforms.h"

struct InputState;
class Player;

class Camera {
public:
    static constexpr float MIN_PITCH = 40.0f, MAX_PITCH = 89.0f;
    static constexpr float MIN_DISTANCE = 5.0f, MAX_DISTANCE = 95.0f;
    static constexpr float ZOOM_STEP = 2.5f;

    const InputState* input = nullptr;
    Vec3 position{0.0f};
    float pitch = 0; // degrees, positive looks down
    float yaw = 0;   // degrees
    const Player* target = nullptr;
    float distanceFromTarget = 50; // world units

    // Recomputes pitch (while the right button is held), position and yaw.
    void move();
    // wheelY > 0 (away from the user) brings the camera closer.
    void zoom(int wheelY);
};
