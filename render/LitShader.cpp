#include "render/LitShader.h"

#include "render/Light.h"
#include "world/Camera.h"

#include <string>

namespace {

const Vec3 EMPTY_POSITION{0.0f, 0.0f, 0.0f};
const Vec3 EMPTY_COLOUR{0.0f, 0.0f, 0.0f};
// Constant factor 1 keeps the fall-off divisor of an unused slot away from zero.
const Vec3 EMPTY_ATTENUATION{1.0f, 0.0f, 0.0f};

std::string slotName(const char* prefix, int slot) {
    return std::string(prefix) + char('0' + slot) + "]";
}

}

void LitShader::lookUpMatrices() {
    transformationMatrixLocation = getUniformLocation("transformationMatrix");
    projectionMatrixLocation = getUniformLocation("projectionMatrix");
    viewMatrixLocation = getUniformLocation("viewMatrix");
}

void LitShader::lookUpShine() {
    shineDamperLocation = getUniformLocation("shineDamper");
    reflectivityLocation = getUniformLocation("reflectivity");
}

void LitShader::lookUpSkyColour() {
    skyColourLocation = getUniformLocation("skyColour");
}

void LitShader::lookUpClipPlane() {
    clipPlaneLocation = getUniformLocation("clipPlane");
}

void LitShader::lookUpLights() {
    for (int i = 0; i < MAX_LIGHTS; ++i) {
        lightPositionLocations[i] = getUniformLocation(slotName("lightPosition[", i));
        lightColourLocations[i] = getUniformLocation(slotName("lightColour[", i));
        attenuationLocations[i] = getUniformLocation(slotName("attenuation[", i));
    }
}

void LitShader::setModelMatrix(const Mat4& matrix) {
    setMat4(transformationMatrixLocation, matrix);
}

void LitShader::setProjectionMatrix(const Mat4& matrix) {
    setMat4(projectionMatrixLocation, matrix);
}

void LitShader::setViewMatrix(const Camera& camera) {
    setMat4(viewMatrixLocation, Transforms::makeViewMatrix(camera));
}

void LitShader::setLights(const std::vector<Light*>& lights) {
    for (int i = 0; i < MAX_LIGHTS; ++i) {
        if (size_t(i) < lights.size()) {
            setVec3(lightPositionLocations[i], lights[size_t(i)]->position);
            setVec3(lightColourLocations[i], lights[size_t(i)]->colour);
            setVec3(attenuationLocations[i], lights[size_t(i)]->attenuation);
        } else {
            setVec3(lightPositionLocations[i], EMPTY_POSITION);
            setVec3(lightColourLocations[i], EMPTY_COLOUR);
            setVec3(attenuationLocations[i], EMPTY_ATTENUATION);
        }
    }
}

void LitShader::setShine(float shineDamper, float reflectivity) {
    setFloat(shineDamperLocation, shineDamper);
    setFloat(reflectivityLocation, reflectivity);
}

void LitShader::setSkyColour(float red, float green, float blue) {
    setVec3(skyColourLocation, Vec3(red, green, blue));
}

void LitShader::setClipPlane(const Vec4& plane) {
    setVec4(clipPlaneLocation, plane);
}
