#pragma once
// Files written by the asset tests into the test temp folder, and the set-up for
// a child process that is expected to end through fatalError.

#include <string>
#include <vector>

// Returns the path written.
std::string writeTextFile(const std::string& name, const std::string& text);
// pixels: rows from the top, `channels` bytes per pixel (1 grey, 3 RGB, 4 RGBA).
std::string writePng(const std::string& name, int width, int height, int channels,
                     const std::vector<unsigned char>& pixels);

// fatalError prints on standard output and then waits for a number on standard
// input; a death test only sees standard error and must not wait.
void prepareFatalChild();
