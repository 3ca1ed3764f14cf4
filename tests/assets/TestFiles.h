#pragma once
// Files written by the asset tests into the test temp folder.

#include <string>
#include <vector>

// Returns the path written.
std::string writeTextFile(const std::string& name, const std::string& text);
// pixels: rows from the top, `channels` bytes per pixel (1 grey, 3 RGB, 4 RGBA).
std::string writePng(const std::string& name, int width, int height, int channels,
                     const std::vector<unsigned char>& pixels);

