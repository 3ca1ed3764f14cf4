#pragma once
// The one terrain tile: 500 x 500 world units of heights from a grey height map,
// its vertex lists, and the ground-height query that movement, picking and the
// scene set-up rely on. The geometry is built from decoded pixels without GL.

#include <string>
#include <vector>

struct Mesh;
class ModelLoader;

struct TerrainTexture {
    unsigned int textureName = 0;
};

struct TerrainTextures {
    TerrainTexture* backgroundTexture = nullptr;
    TerrainTexture* rTexture = nullptr;
    TerrainTexture* gTexture = nullptr;
    TerrainTexture* bTexture = nullptr;
};

// Vertex lists and the height grid of a square height map.
struct TerrainGeometry {
    int sideVertices = 0;
    std::vector<float> positions;     // x, y, z per vertex, rows of increasing z
    std::vector<float> normals;       // 3 per vertex
    std::vector<float> textureCoords; // 2 per vertex, 0..1 across the terrain
    std::vector<int> indices;         // 6 per grid square
    std::vector<float> heights;       // [gx * sideVertices + gz]
};

class Terrain {
public:
    static constexpr float TERRAIN_SIZE = 500.0f;
    static constexpr float HEIGHT_SCALE = 40.0f;

    // A pixel is a vertex: a map of this side already needs about 250 MB of vertex data
    // on each side of the GL, and a small PNG can claim a far larger one.
    static constexpr int MAX_HEIGHT_MAP_SIDE = 2048;

    // Why a decoded height map cannot be used ("" when it can).
    static std::string checkHeightMap(int width, int height);
    // pixels: sideVertices x sideVertices 8-bit values, row gz at byte gz * side.
    static TerrainGeometry buildGeometry(const unsigned char* pixels, int sideVertices);
    // Height of one pixel by the height rule: pixel 0 -> -40, 128 -> 0, 255 -> 39.6875.
    static float pixelHeight(unsigned char pixel);

    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> textureCoords;
    std::vector<int> indices;
    int imageWidth = 0, imageHeight = 0, imageChannels = 0;
    float x = 0, z = 0; // world position of the corner
    Mesh* mesh = nullptr;
    TerrainTextures* textures = nullptr;
    TerrainTexture* blendMap = nullptr;
    TerrainTexture* lightMap = nullptr;

    // Decodes, builds and uploads; an unusable height map ends start-up through fatalError.
    Terrain(ModelLoader& loader, TerrainTextures* textures, TerrainTexture* blendMap, TerrainTexture* lightMap,
            const std::string& heightMapPath);
    // GL-free terrain from ready geometry (no mesh).
    explicit Terrain(TerrainGeometry geometry);

    // Ground height under a world point; 0 outside the terrain, whose far edge (500) is outside.
    float heightAt(float worldX, float worldZ) const;
    int sideVertices() const { return side; }
    float vertexHeight(int gx, int gz) const { return heights[size_t(gx) * side + gz]; }

private:
    Mesh* buildMesh(ModelLoader& loader, const std::string& heightMapPath);
    void adopt(TerrainGeometry geometry);

    int side = 0;
    std::vector<float> heights; // [gx * side + gz]
};
