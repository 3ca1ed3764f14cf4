#include "Generators.h"

void generateSky(const std::string& resourcesDir) { (void)resourcesDir; }
