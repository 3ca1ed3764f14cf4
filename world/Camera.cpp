#include "world/Camera.h"

#include "world/InputState.h"
#include "world/Player.h"

#include <cmath>

void Camera::move() {
    if (input && input->isHeld(Keys::RIGHT_BUTTON)) {
        pitch -= input->mouseDY;
        if (pitch > MAX_PITCH) {
            pitch = MAX_PITCH;
        } else if (pitch < MIN_PITCH) {
            pitch = MIN_PITCH;
        }
    }
    if (!target) {
        return;
    }
    const double pitchRadians = double(pitch * DEGREES_TO_RADIANS);
    const float horizontal = distanceFromTarget * float(std::cos(pitchRadians));
    const float vertical = distanceFromTarget * float(std::sin(pitchRadians));
    const float theta = target->rotY;
    const double thetaRadians = double(theta * DEGREES_TO_RADIANS);
    position.x = target->position.x - horizontal * float(std::sin(thetaRadians));
    position.z = target->position.z - horizontal * float(std::cos(thetaRadians));
    position.y = target->position.y + vertical;
    yaw = 180.0f - theta;
}

void Camera::zoom(int wheelY) {
    distanceFromTarget -= float(wheelY) * ZOOM_STEP;
    if (distanceFromTarget < MIN_DISTANCE) {
        distanceFromTarget = MIN_DISTANCE;
    }
    if (distanceFromTarget > MAX_DISTANCE) {
        distanceFromTarget = MAX_DISTANCE;
    }
}
