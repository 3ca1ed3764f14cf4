#include "robustness/ScratchGame.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;

ScratchGame::ScratchGame() {
    char pattern[] = "/tmp/wm-robustness-XXXXXX";
    if (!mkdtemp(pattern)) {
        ADD_FAILURE() << "mkdtemp failed";
        return;
    }
    root = pattern;
    folder = root / "game";
    for (const char* dir : {"Shaders", "Resources"}) {
        fs::create_directories(folder / dir);
        for (const auto& entry : fs::directory_iterator(fs::path(WM_SOURCE_DIR) / dir)) {
            fs::create_symlink(entry.path(), folder / dir / entry.path().filename());
        }
    }
}

ScratchGame::~ScratchGame() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}
