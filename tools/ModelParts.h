#pragma once
// One generator per model: each writes its OBJ file and texture(s) into resourcesDir.
// generateModels (ModelGenerator.cpp) runs them all.

#include <string>

void generatePlayerModels(const std::string& resourcesDir); // pc.obj, pcFace.obj and textures
void generateTreeModel(const std::string& resourcesDir);    // tree.obj, tree.png
void generateLampModel(const std::string& resourcesDir);    // lamp.obj, lamp.png
void generateFernModel(const std::string& resourcesDir);    // fern.obj, fern.png
void generateMarkerModel(const std::string& resourcesDir);  // marker.obj, white.png
void generateCottageModel(const std::string& resourcesDir); // cottage.obj, shack2.png, shack_normals.png
