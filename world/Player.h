#pragma once
// A walking character: the visible player and the camera's invisible anchor.
// The entity renderer draws it from the same fields an Entity carries.

#include "world/Transforms.h"

struct InputState;
struct Model;
class Terrain;

class Player {
public:
    static constexpr float MOVE_SPEED = 50.0f;          // units per second, W/S and arrow keys
    static constexpr float TURN_SPEED = 160.0f;         // degrees per second
    static constexpr float GRAVITY = -50.0f;            // units per second squared
    static constexpr float MAX_FRAME_STEP = 20.0f;      // longer steps are replaced by a nominal frame's
    static constexpr float NOMINAL_FRAME_TIME = 0.017f; // seconds

    const InputState* input = nullptr;
    Model* model = nullptr;
    Vec3 position{0.0f};
    float rotX = 0, rotY = 0, rotZ = 0; // degrees; rotY is the heading
    float scale = 1;
    int textureIndex = 0;
    float keySpeed = 0;      // units per second along the heading
    float keyTurnSpeed = 0;  // degrees per second
    float verticalSpeed = 0; // units per second
    bool moving = false;

    Player(const InputState* input, Model* model, const Vec3& position, float rotX, float rotY, float rotZ,
           float scale);

    Vec3 getPosition() const { return position; }
    float getRotY() const { return rotY; }
    bool isMoving() const { return moving; }

    // W/A/S/D movement with gravity and terrain following; frameTime in seconds.
    void move(const Terrain& terrain, float frameTime);
    void readKeys();
};
