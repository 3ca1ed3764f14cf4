#include "world/PathWalking.h"

#include "assets/Terrain.h"
#include "world/InputState.h"
#include "world/Player.h"

#include <cmath>

namespace {

// Click areas in normalized device coordinates, open intervals; the bands are a
// little narrower than the drawn buttons (-0.9 .. -0.7).
constexpr float READY_LEFT = 0.2f, READY_RIGHT = 0.4f;
constexpr float RESET_LEFT = -0.4f, RESET_RIGHT = -0.2f;
constexpr float BUTTON_BOTTOM = -0.89f, BUTTON_TOP = -0.69f;

// Moves one coordinate towards its target by at most step, landing exactly on the
// target rather than passing it (a passed point could be stepped over forever).
float approach(float from, float to, float step) {
    if (!(step > 0.0f)) {
        return from; // a zero or negative frame time moves nothing
    }
    if (step >= std::fabs(to - from)) {
        return to;
    }
    return from < to ? from + step : from - step;
}

bool isInButtonBand(float y) {
    return BUTTON_BOTTOM < y && y < BUTTON_TOP;
}

// speed in units per second. A step too long for one frame (a stall, the clock
// wrapping round) becomes a nominal frame's step in the key's direction.
float stepFor(float speed, float frameTime) {
    const float step = speed * frameTime;
    if (std::fabs(step) <= Player::MAX_FRAME_STEP) {
        return step;
    }
    return float(double(speed) * double(Player::NOMINAL_FRAME_TIME));
}

void stepAlongHeading(Player& anchor, const Terrain& terrain, float step) {
    const double heading = double(anchor.rotY * DEGREES_TO_RADIANS);
    anchor.position.x += float(std::sin(heading)) * step;
    anchor.position.z += float(std::cos(heading)) * step;
    anchor.position.y = terrain.heightAt(anchor.position.x, anchor.position.z);
}

}

WalkStep walkPath(Player& player, std::deque<Vec3>& path, const Terrain& terrain, float frameTime) {
    using namespace PathWalking;
    if (path.empty()) {
        return WalkStep::PathEmpty;
    }
    const Vec3 target = path.front();
    Vec3& position = player.position;
    const bool farOnX = std::fabs(position.x - target.x) > ARRIVAL_TOLERANCE;
    const bool farOnZ = std::fabs(position.z - target.z) > ARRIVAL_TOLERANCE;
    if (!farOnX && !farOnZ) {
        player.moving = false;
        path.pop_front();
        return WalkStep::Arrived;
    }
    const float speed = target.y - position.y > LEVEL_TOLERANCE ? WALK_SPEED_UPHILL : WALK_SPEED;
    const float step = speed * frameTime;
    player.moving = true;
    // Both axes move in the same frame, so diagonal walking is faster.
    if (farOnX) {
        position.x = approach(position.x, target.x, step);
        position.y = terrain.heightAt(position.x, position.z);
    }
    if (farOnZ) {
        position.z = approach(position.z, target.z, step);
        position.y = terrain.heightAt(position.x, position.z);
    }
    return WalkStep::Moved;
}

ClickTarget classifyClick(int mouseX, int mouseY, int windowWidth, int windowHeight) {
    const float x = float(2 * mouseX) / float(windowWidth) - 1.0f;
    const float y = 1.0f - float(2 * mouseY) / float(windowHeight);
    if (READY_LEFT < x && x < READY_RIGHT) {
        return isInButtonBand(y) ? ClickTarget::Ready : ClickTarget::ButtonColumn;
    }
    if (RESET_LEFT < x && x < RESET_RIGHT) {
        return isInButtonBand(y) ? ClickTarget::Reset : ClickTarget::ButtonColumn;
    }
    return ClickTarget::Terrain;
}

void moveAnchor(Player& anchor, const InputState& input, const Terrain& terrain, float frameTime) {
    if (input.isHeld(Keys::UP)) {
        stepAlongHeading(anchor, terrain, stepFor(Player::MOVE_SPEED, frameTime));
    }
    if (input.isHeld(Keys::DOWN)) {
        stepAlongHeading(anchor, terrain, stepFor(-Player::MOVE_SPEED, frameTime));
    }
    if (input.isHeld(Keys::LEFT)) {
        anchor.rotY += Player::TURN_SPEED * frameTime;
    }
    if (input.isHeld(Keys::RIGHT)) {
        anchor.rotY -= Player::TURN_SPEED * frameTime;
    }
}
