#include "Generators.h"
#include "ModelParts.h"

void generateModels(const std::string& resourcesDir) {
    generatePlayerModels(resourcesDir);
    generateCottageModel(resourcesDir);
    generateTreeModel(resourcesDir);
    generateLampModel(resourcesDir);
    generateFernModel(resourcesDir);
    generateMarkerModel(resourcesDir);
}
