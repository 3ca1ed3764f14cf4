#include "Generators.h"

void generateGui(const std::string& resourcesDir) { (void)resourcesDir; }
