#pragma once
// Common half of the entity and terrain programs: the three matrices, the four
// point-light slots, shine, fog colour and clip plane. Each derived constructor looks
// its uniforms up in its own order using the lookUp helpers below.

#include "render/ShaderProgram.h"

#include <vector>

class Camera;
struct Light;

constexpr int MAX_LIGHTS = 4;

class LitShader : public ShaderProgram {
public:
    void setModelMatrix(const Mat4& matrix);
    void setProjectionMatrix(const Mat4& matrix);
    void setViewMatrix(const Camera& camera);
    // Slots past the list get a black light at the origin with a divisor of 1;
    // lights past MAX_LIGHTS are ignored.
    void setLights(const std::vector<Light*>& lights);
    void setShine(float shineDamper, float reflectivity);
    void setSkyColour(float red, float green, float blue);
    // World-space plane (a, b, c, d); geometry with a*x + b*y + c*z + d < 0 is clipped.
    void setClipPlane(const Vec4& plane);

protected:
    void lookUpMatrices();
    void lookUpShine();
    void lookUpSkyColour();
    void lookUpClipPlane();
    void lookUpLights();

private:
    GLint transformationMatrixLocation = -1;
    GLint projectionMatrixLocation = -1;
    GLint viewMatrixLocation = -1;
    GLint lightPositionLocations[MAX_LIGHTS] = {-1, -1, -1, -1};
    GLint lightColourLocations[MAX_LIGHTS] = {-1, -1, -1, -1};
    GLint attenuationLocations[MAX_LIGHTS] = {-1, -1, -1, -1};
    GLint shineDamperLocation = -1;
    GLint reflectivityLocation = -1;
    GLint skyColourLocation = -1;
    GLint clipPlaneLocation = -1;
};
