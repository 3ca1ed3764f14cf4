#pragma once
// Program for textured models: four point lights, optional normal map (unit 1),
// texture atlas, fake lighting for flat foliage, fog and a clip plane.
// Built once at start-up; the entity and scene renderers upload through it.

#include "render/LitShader.h"

#include <string>

class EntityShader : public LitShader {
public:
    EntityShader(const std::string& vertexPath, const std::string& fragmentPath);

    // Colour texture on unit 0, normal map on unit 1.
    void assignTextureUnits();
    void setFakeLighting(bool useFakeLighting);
    void setNumberOfRows(int rows);
    // Texture-space corner of the atlas cell.
    void setAtlasOffset(float x, float y);
    void setHasNormalMap(bool hasNormalMap);

private:
    void declareAttributes();
    void lookUpUniforms();

    GLint useFakeLightingLocation = -1;
    GLint numberOfRowsLocation = -1;
    GLint offsetLocation = -1;
    GLint hasNormalMapLocation = -1;
    GLint modelTextureLocation = -1;
    GLint normalMapLocation = -1;
};
