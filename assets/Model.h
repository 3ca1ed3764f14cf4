#pragma once
// What an entity draws: a mesh, its colour material and an optional normal map.

struct Mesh;
struct Material;

struct Model {
    bool hasNormalMap = false;
    Mesh* mesh = nullptr;
    Material* texture = nullptr;
    Material* normalMap = nullptr; // only its textureName is read

    Model(Mesh* mesh, Material* texture) : mesh(mesh), texture(texture) {}
    Model(Mesh* mesh, Material* texture, Material* normalMap)
        : hasNormalMap(true), mesh(mesh), texture(texture), normalMap(normalMap) {}
};
