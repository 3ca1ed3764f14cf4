#pragma once
// Program for the ground: four tiled textures mixed by a blend map, a light map,
// the same four point lights, fog and clip plane as the entity program.

#include "render/LitShader.h"

#include <string>

class TerrainShader : public LitShader {
public:
    TerrainShader(const std::string& vertexPath, const std::string& fragmentPath);

    // Background, r, g, b textures on units 0-3, blend map on 4, light map on 5.
    void assignTextureUnits();

private:
    void declareAttributes();
    void lookUpUniforms();

    GLint backgroundTextureLocation = -1;
    GLint rTextureLocation = -1;
    GLint gTextureLocation = -1;
    GLint bTextureLocation = -1;
    GLint blendMapLocation = -1;
    GLint lightMapLocation = -1;
};
