#pragma once
// A placed instance of a model. The scene renderer batches entities by model identity.

#include "world/Transforms.h"

struct Model;

class Entity {
public:
    Model* model = nullptr;
    Vec3 position{0.0f};
    float rotX = 0, rotY = 0, rotZ = 0; // degrees
    float scale = 1;
    int textureIndex = 0; // texture atlas cell, 0 for a single image

    Entity(Model* givenModel, const Vec3& givenPosition, float givenRotX, float givenRotY, float givenRotZ,
           float givenScale, int givenTextureIndex)
        : model(givenModel), position(givenPosition), rotX(givenRotX), rotY(givenRotY), rotZ(givenRotZ),
          scale(givenScale), textureIndex(givenTextureIndex) {}

    float getRotY() const { return rotY; }
    void setPosition(float x, float y, float z) { position = Vec3(x, y, z); }
    void setPosition(const Vec3& p) { position = p; }
    void setRotY(float degrees) { rotY = degrees; }
};
