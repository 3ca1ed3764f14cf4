#pragma once
// What an entity draws: a mesh, its colour material and an optional normal map.

struct Mesh;
struct Material;

struct Model {
    bool hasNormalMap = false;
    Mesh* mesh = nullptr;
    Material* texture = nullptr;
    Material* normalMap = nullptr; // only its textureName is read

    Model(Mesh* givenMesh, Material* givenTexture) : mesh(givenMesh), texture(givenTexture) {}
    Model(Mesh* givenMesh, Material* givenTexture, Material* givenNormalMap)
        : hasNormalMap(true), mesh(givenMesh), texture(givenTexture), normalMap(givenNormalMap) {}
};
