#pragma once
// Draws the terrains collected for one pass with the terrain program, which the
// scene renderer starts and feeds the per-pass uniforms.

#include "world/Transforms.h"

#include <vector>

class Terrain;
class TerrainShader;

class TerrainRenderer {
public:
    // Leaves the projection and the six sampler units loaded in the program.
    TerrainRenderer(TerrainShader& shader, const Mat4& projection);

    void render(const std::vector<Terrain*>& terrains);

private:
    void bindTerrain(const Terrain& terrain);
    void bindTextures(const Terrain& terrain);
    void placeTerrain(const Terrain& terrain);
    void unbindModel();

    TerrainShader& shader;
};
