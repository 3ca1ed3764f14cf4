#pragma once
// The generator's parts. Each writes its files into resourcesDir with savePng or
// plain text output; all are deterministic.

#include <string>

// Height map, ground textures, blend map, light map (TerrainGenerator.cpp).
void generateTerrain(const std::string& resourcesDir);
// Sky box faces and the water du/dv map (SkyGenerator.cpp).
void generateSky(const std::string& resourcesDir);
// OBJ models and their textures, white.png (ModelGenerator.cpp and friends).
void generateModels(const std::string& resourcesDir);
// Quest panel, the READY / RESET buttons, the speech panel and the glyph atlas (GuiGenerator.cpp).
void generateGui(const std::string& resourcesDir);
// The desktop icon, wm.png (IconGenerator.cpp); not a game texture.
void generateIcon(const std::string& packagingDir);

// Scene facts both halves rely on.
constexpr int COTTAGE_GROUND_PIXEL = 134;                                       // flat ground under the cottage
constexpr double COTTAGE_GROUND_HEIGHT = (COTTAGE_GROUND_PIXEL - 128) * 0.3125; // 1.875 world units
// The cottage is placed at y -34.6 with scale 43, so its floor sits at this local y.
constexpr double COTTAGE_FLOOR_LOCAL_Y = (COTTAGE_GROUND_HEIGHT + 34.6) / 43.0;
