#include "world/Transforms.h"

#include "world/Camera.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {
constexpr float NEAR_PLANE = 0.1f;
constexpr float FAR_PLANE = 1000.0f;
}

namespace Transforms {

Mat4 makeModelMatrix(const Vec3& translation, float rxDegrees, float ryDegrees, float rzDegrees, float scale) {
    Mat4 m(1.0f);
    m = glm::translate(m, translation);
    m = glm::rotate(m, rxDegrees * DEGREES_TO_RADIANS, Vec3(1, 0, 0));
    m = glm::rotate(m, ryDegrees * DEGREES_TO_RADIANS, Vec3(0, 1, 0));
    m = glm::rotate(m, rzDegrees * DEGREES_TO_RADIANS, Vec3(0, 0, 1));
    return glm::scale(m, Vec3(scale, scale, scale));
}

Mat4 makeModelMatrix(const Vec2& translation, const Vec2& scale) {
    Mat4 m(1.0f);
    m = glm::translate(m, Vec3(translation.x, translation.y, 0.0f));
    return glm::scale(m, Vec3(scale.x, scale.y, 0.0f));
}

Mat4 makeViewMatrix(const Vec3& position, float pitchDegrees, float yawDegrees) {
    Mat4 m(1.0f);
    m = glm::rotate(m, pitchDegrees * DEGREES_TO_RADIANS, Vec3(1, 0, 0));
    m = glm::rotate(m, yawDegrees * DEGREES_TO_RADIANS, Vec3(0, 1, 0));
    return glm::translate(m, -position);
}

Mat4 makeViewMatrix(const Camera& camera) {
    return makeViewMatrix(camera.position, camera.pitch, camera.yaw);
}

Mat4 makeProjectionMatrix(int width, int height) {
    const float aspect = float(width) / float(height);
    // Half of the 70 degree field of view, in radians, evaluated in double.
    const float yScale = float(1.0 / std::tan(0.6108652353286743)) * aspect;
    const float xScale = yScale / aspect;
    const float frustumLength = FAR_PLANE - NEAR_PLANE;
    Mat4 p(0.0f);
    p[0][0] = xScale;
    p[1][1] = yScale;
    p[2][2] = -((FAR_PLANE + NEAR_PLANE) / frustumLength);
    p[2][3] = -1.0f;
    p[3][2] = -((2.0f * NEAR_PLANE * FAR_PLANE) / frustumLength);
    p[3][3] = 0.0f;
    return p;
}

}
