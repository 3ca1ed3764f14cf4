#include "Generators.h"

#include "Image.h"
#include "TerrainHeights.h"
#include "TerrainShape.h"

void generateTerrain(const std::string& resourcesDir) {
    const TerrainShape shape;
    const TerrainHeights heights(shape);
    savePng(resourcesDir, "heightmap3.png", heights.heightMap());
}
