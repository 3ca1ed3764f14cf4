#pragma once
// Small helpers that several test programs share.

#include <string>
#include <vector>

// The whole file, byte for byte; empty when it cannot be read.
std::string readFileBytes(const std::string& path);

// How often `what` appears in `text`.
int occurrences(const std::string& text, const std::string& what);

// Writes an 8-bit PNG (rows from the top, `channels` bytes per pixel); false on failure.
bool writePngFile(const std::string& path, int width, int height, int channels,
                  const std::vector<unsigned char>& pixels);
