#include "Generators.h"

void generateModels(const std::string& resourcesDir) { (void)resourcesDir; }
