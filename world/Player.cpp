#include "world/Player.h"

#include "assets/Terrain.h"
#include "world/InputState.h"

#include <cmath>

Player::Player(const InputState* givenInput, Model* givenModel, const Vec3& givenPosition, float givenRotX,
               float givenRotY, float givenRotZ, float givenScale)
    : input(givenInput), model(givenModel), position(givenPosition), rotX(givenRotX), rotY(givenRotY), rotZ(givenRotZ),
      scale(givenScale) {}

void Player::readKeys() {
    moving = false;
    const auto held = [this](int key) { return input && input->isHeld(key); };
    if (held(Keys::W)) {
        // W walks towards -z at heading 0.
        keySpeed = -MOVE_SPEED;
        moving = true;
    } else if (held(Keys::S)) {
        keySpeed = MOVE_SPEED;
    } else {
        keySpeed = 0;
    }
    if (held(Keys::D)) {
        keyTurnSpeed = -TURN_SPEED;
    } else if (held(Keys::A)) {
        keyTurnSpeed = TURN_SPEED;
    } else {
        keyTurnSpeed = 0;
    }
}

void Player::move(const Terrain& terrain, float frameTime) {
    readKeys();
    rotY += keyTurnSpeed * frameTime;
    float distance = keySpeed * frameTime;
    if (std::fabs(distance) > MAX_FRAME_STEP) {
        distance = float(double(keySpeed) * double(NOMINAL_FRAME_TIME));
    }
    verticalSpeed += GRAVITY * frameTime;
    const double heading = double(rotY * DEGREES_TO_RADIANS);
    position.x += distance * float(std::sin(heading));
    position.z += distance * float(std::cos(heading));
    position.y += verticalSpeed * frameTime;
    const float ground = terrain.heightAt(position.x, position.z);
    if (ground > position.y) {
        verticalSpeed = 0;
        position.y = ground;
    }
}
