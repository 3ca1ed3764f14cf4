#pragma once
// Saves the bound read buffer of the 1024 x 768 window as a PNG, top row first,
// for comparing pictures before and after a change.

#include <string>

bool saveScreenshot(const std::string& path, int width, int height);
