#include "Generators.h"

void generateTerrain(const std::string& resourcesDir) { (void)resourcesDir; }
