#pragma once
// One texture with the lighting and atlas settings the entity shader reads.

struct Material {
    unsigned int textureName = 0;
    float shineDamper = 1.0f;     // specular exponent
    float reflectivity = 0.0f;    // specular strength
    bool hasTransparency = false; // drawn without back-face culling
    bool useFakeLighting = false;
    int numberOfRows = 1; // texture atlas rows and columns

    explicit Material(unsigned int givenTextureName) : textureName(givenTextureName) {}
};
