#include "Generators.h"

#include "Image.h"
#include "TerrainBlendMap.h"
#include "TerrainHeights.h"
#include "TerrainLightMap.h"
#include "TerrainShape.h"
#include "TerrainTextures.h"

void generateTerrain(const std::string& resourcesDir) {
    const TerrainShape shape;
    const TerrainHeights heights(shape);
    savePng(resourcesDir, "heightmap3.png", heights.heightMap());
    savePng(resourcesDir, "grassy2.png", terrain::makeGrassTexture());
    savePng(resourcesDir, "mud.png", terrain::makeMudTexture());
    savePng(resourcesDir, "grassFlowers.png", terrain::makeFlowerGrassTexture());
    savePng(resourcesDir, "path.png", terrain::makePathTexture());
    savePng(resourcesDir, "blendMapAlt.png", terrain::makeBlendMap(heights));
    savePng(resourcesDir, "terrainLightMap.png", terrain::makeLightMap(heights));
}
