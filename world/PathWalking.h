#pragma once
// Per-frame movement rules of the player input step: walking the clicked path,
// sorting a click into the READY and RESET buttons or the terrain, and steering
// the camera anchor with the arrow keys. Pure: time and input come in as values.

#include "world/Transforms.h"

#include <deque>

struct InputState;
class Player;
class Terrain;

enum class WalkStep { PathEmpty, Moved, Arrived };

enum class ClickTarget { Ready, Reset, ButtonColumn, Terrain };

namespace PathWalking {
constexpr float WALK_SPEED = 20.0f;       // units per second
constexpr float WALK_SPEED_UPHILL = 9.0f; // units per second, towards a higher point
constexpr float ARRIVAL_TOLERANCE = 0.5f; // world units, per axis
// World units: a picked point on level ground can sit a float step or so above it,
// which is no climb.
constexpr float LEVEL_TOLERANCE = 0.01f;
}

// One frame of walking towards path.front(), frameTime in seconds. Arrived means
// the front point was within ARRIVAL_TOLERANCE on x and z and has been removed;
// PathEmpty leaves the player untouched (the caller hides the marker).
WalkStep walkPath(Player& player, std::deque<Vec3>& path, const Terrain& terrain, float frameTime);

// mouseX, mouseY in window pixels from the top-left corner.
ClickTarget classifyClick(int mouseX, int mouseY, int windowWidth, int windowHeight);

// Arrow keys: Up and Down move the anchor along its heading on the ground, Left
// and Right turn it; frameTime in seconds.
void moveAnchor(Player& anchor, const InputState& input, const Terrain& terrain, float frameTime);
