#pragma once
// A folder with Shaders/ and Resources/ made of links to the repository's files, for
// the real game to run in; a test replaces one entry before it starts the game there.
// Removed again with everything in it.

#include <filesystem>
#include <string>

class ScratchGame {
public:
    ScratchGame();
    ~ScratchGame();
    ScratchGame(const ScratchGame&) = delete;
    ScratchGame& operator=(const ScratchGame&) = delete;

    // Removes the link at relativePath ("Resources/tree.obj") and returns its full path,
    // for the test to put something else there (or nothing).
    std::filesystem::path replace(const std::string& relativePath) const;
    // The game's working folder, and the folder around it for the game's output files.
    const std::filesystem::path& folder() const { return gameFolder; }
    const std::filesystem::path& root() const { return scratch; }

private:
    std::filesystem::path scratch;
    std::filesystem::path gameFolder;
};
