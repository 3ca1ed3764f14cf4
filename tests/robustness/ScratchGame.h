#pragma once
// A folder with Shaders/ and Resources/ made of links to the repository's files, for
// the real game to run in; a test replaces one entry before it starts the game there.
// Removed again with everything in it.

#include <filesystem>
#include <string>

struct ScratchGame {
    ScratchGame();
    ~ScratchGame();
    ScratchGame(const ScratchGame&) = delete;
    ScratchGame& operator=(const ScratchGame&) = delete;

    // Removes the link at relativePath ("Resources/tree.obj") and returns its full path,
    // for the test to put something else there (or nothing).
    std::filesystem::path replace(const std::string& relativePath) const {
        std::filesystem::remove(folder / relativePath);
        return folder / relativePath;
    }

    // The folder around the game's, for its output files; the game's working folder.
    std::filesystem::path root, folder;
};
