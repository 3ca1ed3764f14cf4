#include "world/Quest.h"
#include "world/SceneLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr float STEP = 0.01f; // well above float spacing at these coordinates

struct Probe {
    float x, z;
    bool inside;
};

// Each border of a zone, on it (outside) and a step within (inside), at the middle of the other axis.
std::vector<Probe> bordersOf(const layout::Zone& zone) {
    const float midX = (zone.minX + zone.maxX) / 2, midZ = (zone.minZ + zone.maxZ) / 2;
    return {
        {zone.minX, midZ, false},       {zone.minX + STEP, midZ, true}, {zone.maxX, midZ, false},
        {zone.maxX - STEP, midZ, true}, {midX, zone.minZ, false},       {midX, zone.minZ + STEP, true},
        {midX, zone.maxZ, false},       {midX, zone.maxZ - STEP, true}, {zone.minX - STEP, zone.minZ - STEP, false}};
}

std::string spoken(const char* line) {
    return line ? line : "";
}

}

TEST(Quest, ZonesAreOpenRectanglesAroundTheQuestLampAndEastOfTheCottage) {
    // The zones as designed, written out once more so that a slip in the layout shows.
    const auto bounds = [](const layout::Zone& z) { return std::tuple(z.minX, z.maxX, z.minZ, z.maxZ); };
    EXPECT_EQ(bounds(layout::LAMP_ZONE), std::tuple(99.0f, 123.0f, 129.0f, 147.0f));
    EXPECT_EQ(bounds(layout::DOOR_ZONE), std::tuple(270.0f, 320.0f, 255.0f, 275.0f));
    for (const Probe& p : bordersOf(layout::LAMP_ZONE)) {
        EXPECT_EQ(Quest::isInLampZone(p.x, p.z), p.inside) << p.x << ", " << p.z;
        EXPECT_FALSE(Quest::isInDoorZone(p.x, p.z)) << p.x << ", " << p.z;
    }
    for (const Probe& p : bordersOf(layout::DOOR_ZONE)) {
        EXPECT_EQ(Quest::isInDoorZone(p.x, p.z), p.inside) << p.x << ", " << p.z;
        EXPECT_FALSE(Quest::isInLampZone(p.x, p.z)) << p.x << ", " << p.z;
    }
    EXPECT_TRUE(Quest::isInLampZone(layout::QUEST_LAMP.x, layout::QUEST_LAMP.z));
    EXPECT_FALSE(Quest::isInLampZone(layout::LAMPS[0].x, layout::LAMPS[0].z)) << "only the quest lamp counts";
    EXPECT_GT(layout::DOOR_ZONE.minX, layout::COTTAGE.x) << "the door faces east";
    EXPECT_FALSE(Quest::isInDoorZone(layout::PLAYER_START.x, layout::PLAYER_START.z) ||
                 Quest::isInLampZone(layout::PLAYER_START.x, layout::PLAYER_START.z));
}

TEST(Quest, TheOwnerSpeaksOnceOnArrivalAndThanksOnlyAfterTheLamp) {
    const float doorX = layout::DOOR_ZONE.minX + 1, doorZ = layout::DOOR_ZONE.minZ + 1;
    const float lampX = layout::QUEST_LAMP.x, lampZ = layout::QUEST_LAMP.z;
    bool lampChecked = false, messageShown = false;

    EXPECT_EQ(spoken(Quest::update(lampChecked, messageShown, layout::PLAYER_START.x, layout::PLAYER_START.z)), "");
    EXPECT_EQ(spoken(Quest::update(lampChecked, messageShown, doorX, doorZ)), Quest::REMINDER);
    EXPECT_TRUE(messageShown);
    EXPECT_EQ(spoken(Quest::update(lampChecked, messageShown, doorX, doorZ)), "") << "once until a reset";

    EXPECT_EQ(spoken(Quest::update(lampChecked, messageShown, lampX, lampZ)), "");
    EXPECT_TRUE(lampChecked);
    EXPECT_EQ(spoken(Quest::update(lampChecked, messageShown, doorX, doorZ)), "") << "still spoken already";

    messageShown = false; // what RESET does; the lamp visit stays
    EXPECT_EQ(spoken(Quest::update(lampChecked, messageShown, doorX, doorZ)), Quest::WELCOME);

    bool lampFirst = false, shownFirst = false;
    Quest::update(lampFirst, shownFirst, lampX, lampZ);
    EXPECT_EQ(spoken(Quest::update(lampFirst, shownFirst, doorX, doorZ)), Quest::WELCOME);
}
