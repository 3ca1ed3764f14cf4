#pragma once
// Matrix builders shared by the renderers, the camera and the picker. Angles are
// degrees; matrices are column-major and reach OpenGL untransposed.

#include <glm/glm.hpp>

using Vec2 = glm::vec2;
using Vec3 = glm::vec3;
using Vec4 = glm::vec4;
using Mat4 = glm::mat4;

class Camera;

constexpr float DEGREES_TO_RADIANS = 0.017453292f;

namespace Transforms {

// Scale, then rotate about z, y, x, then translate.
Mat4 makeModelMatrix(const Vec3& translation, float rxDegrees, float ryDegrees, float rzDegrees, float scale);
// GUI quads: z is scaled by 0, they carry no depth.
Mat4 makeModelMatrix(const Vec2& translation, const Vec2& scale);
Mat4 makeViewMatrix(const Camera& camera);
Mat4 makeViewMatrix(const Vec3& position, float pitchDegrees, float yawDegrees);
// 70 degree horizontal field of view, near 0.1, far 1000.
Mat4 makeProjectionMatrix(int width, int height);

}
