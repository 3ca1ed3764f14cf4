#pragma once
// The quest: stand at the lamp, then reach the cottage door. Zones are open
// rectangles on the ground (x, z) from the scene's layout; the player's height plays no part.

#include "world/SceneLayout.h"

class Quest {
public:
    static constexpr const char* WELCOME = "Thank you so much. Come right in!";
    static constexpr const char* REMINDER = "Have you checked the lamp? Please do that before you come in.";

    static bool isInLampZone(float x, float z) { return layout::LAMP_ZONE.contains(x, z); }
    static bool isInDoorZone(float x, float z) { return layout::DOOR_ZONE.contains(x, z); }

    // One frame of the rules; returns the line the owner speaks, or nullptr.
    static const char* update(bool& lampChecked, bool& messageShown, float x, float z) {
        if (isInLampZone(x, z)) {
            lampChecked = true;
        }
        if (!isInDoorZone(x, z) || messageShown) {
            return nullptr;
        }
        messageShown = true;
        return lampChecked ? WELCOME : REMINDER;
    }
};
