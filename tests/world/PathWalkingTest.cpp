#include "world/InputState.h"
#include "world/PathWalking.h"
#include "world/Player.h"
#include "world/TestTerrain.h"

#include <gtest/gtest.h>

namespace {

constexpr float TOLERANCE = 1e-4f;
constexpr float FRAME = 0.1f;            // seconds: a step of 2 at walking speed
constexpr float CLOCK_WRAP = -3599.984f; // the one frame time the hourly clock wrap gives

class PathWalkingTest : public testing::Test {
protected:
    WalkStep walk(float frameTime = FRAME) { return walkPath(player, path, terrain, frameTime); }

    Terrain terrain = makeFlatTerrain();
    Player player{nullptr, nullptr, Vec3(0.0f), 0, 0, 0, 0.5f};
    std::deque<Vec3> path;
};

}

TEST_F(PathWalkingTest, WalksOnlyTheFarAxisAndDropsThePointOnArrival) {
    path = {Vec3(10, 0, 0.3f), Vec3(50, 0, 50)};
    for (int frame = 1; frame <= 5; ++frame) {
        ASSERT_EQ(walk(), WalkStep::Moved) << frame;
        EXPECT_NEAR(player.position.x, 2.0f * frame, TOLERANCE);
        EXPECT_EQ(player.position.z, 0.0f);
        EXPECT_TRUE(player.moving);
    }
    EXPECT_EQ(walk(), WalkStep::Arrived);
    EXPECT_FALSE(player.moving);
    EXPECT_EQ(path, std::deque<Vec3>{Vec3(50, 0, 50)});
    // Both axes move in one frame, in either direction.
    path = {Vec3(-10, 0, 10)};
    walk();
    EXPECT_LT(glm::distance(player.position, Vec3(8, 0, 2)), TOLERANCE);
}

TEST_F(PathWalkingTest, WalksSlowerTowardsAHigherPoint) {
    const std::pair<float, float> steps[] = {{1.0f, 0.9f}, {0.0f, 2.9f}, {-5.0f, 4.9f}}; // target y, x reached
    for (const auto& [targetY, expectedX] : steps) {
        path = {Vec3(30, targetY, 0)};
        walk();
        EXPECT_NEAR(player.position.x, expectedX, TOLERANCE) << "towards height " << targetY;
    }
}

TEST_F(PathWalkingTest, LandsOnAPointCloserThanOneStepAndStopsAtTheEnd) {
    // Once a step of 2 from 0.8 short would have swung between 1.2 past and 0.8 short forever.
    path = {Vec3(0.8f, 0, 0), Vec3(-20, 0, 0)};
    EXPECT_EQ(walk(), WalkStep::Moved);
    EXPECT_EQ(player.position.x, 0.8f);
    EXPECT_EQ(walk(), WalkStep::Arrived);
    for (int frame = 0; frame < 20 && !path.empty(); ++frame) walk(0.25f);
    EXPECT_TRUE(path.empty());
    EXPECT_NEAR(player.position.x, -20.0f, 0.5f);
    // An empty path leaves the player where it is: the caller hides the marker.
    const Vec3 before = player.position;
    EXPECT_EQ(walk(), WalkStep::PathEmpty);
    EXPECT_EQ(player.position, before);
}

TEST_F(PathWalkingTest, FollowsTheGroundAndStandsStillWithoutForwardTime) {
    terrain = makeTerrain(6, [](int gx, int gz) { return (unsigned char)(128 + 16 * gx + 8 * gz); });
    player.position = Vec3(100, 0, 100);
    path = {Vec3(300, 0, 300)};
    for (const float stillTime : {0.0f, CLOCK_WRAP}) {
        walk(stillTime);
        EXPECT_EQ(player.position, Vec3(100, 7.5f, 100)) << stillTime;
    }
    walk();
    EXPECT_LT(glm::distance(player.position, Vec3(102, 102.0f / 20 + 102.0f / 40, 102)), TOLERANCE);
}

TEST(ClickAreas, SortsPixelsIntoButtonsColumnsAndTerrain) {
    struct Case { int x, y; ClickTarget expected; };
    const Case cases[] = { // READY spans x 615..716, RESET 308..409, both y 649..725
        {666, 687, ClickTarget::Ready},   {615, 687, ClickTarget::Ready},   {614, 691, ClickTarget::Terrain},
        {716, 687, ClickTarget::Ready},   {717, 687, ClickTarget::Terrain}, {358, 687, ClickTarget::Reset},
        {308, 687, ClickTarget::Reset},   {307, 687, ClickTarget::Terrain}, {409, 687, ClickTarget::Reset},
        {410, 687, ClickTarget::Terrain}, {666, 649, ClickTarget::Ready},   {666, 725, ClickTarget::Ready},
        {666, 648, ClickTarget::ButtonColumn}, {666, 726, ClickTarget::ButtonColumn},
        {358, 100, ClickTarget::ButtonColumn},
    };
    for (const Case& c : cases) EXPECT_EQ(classifyClick(c.x, c.y, 1024, 768), c.expected) << c.x << ", " << c.y;
}

TEST(AnchorKeys, ArrowsWalkTheAnchorOnTheGroundAndTurnIt) {
    const Terrain slope = makeTerrain(6, [](int, int gz) { return (unsigned char)(128 + 16 * gz); }); // y = z / 20
    // Heading in degrees and frame time in seconds; then where the anchor ends and its heading.
    struct Case { std::vector<int> keys; float rotY, frameTime; Vec3 position; float endRotY; };
    const Case cases[] = {
        {{Keys::W}, 0, 0.1f, Vec3(100, 0, 100), 0}, // the player's key does nothing here
        {{Keys::UP}, 0, 0.1f, Vec3(100, 5.25f, 105), 0},
        {{Keys::UP, Keys::DOWN, Keys::LEFT}, 0, 0.1f, Vec3(100, 5, 100), 16}, // Up and Down cancel
        {{Keys::DOWN, Keys::RIGHT}, 90, 0.1f, Vec3(95, 5, 100), 74},        // walks before it turns
        // Long frames and the clock wrap step a nominal frame in the key's direction.
        {{Keys::UP}, 0, 0.5f, Vec3(100, 100.85f / 20, 100.85f), 0},
        {{Keys::UP}, 0, CLOCK_WRAP, Vec3(100, 100.85f / 20, 100.85f), 0},
        {{Keys::DOWN}, 0, 0.5f, Vec3(100, 99.15f / 20, 99.15f), 0},
    };
    for (const Case& c : cases) {
        Player anchor(nullptr, nullptr, Vec3(100, 0, 100), 0, c.rotY, 0, 2);
        InputState input;
        for (const int key : c.keys) input.pressed[key] = true;
        moveAnchor(anchor, input, slope, c.frameTime);
        EXPECT_LT(glm::distance(anchor.position, c.position), TOLERANCE) << c.keys.size() << " keys, " << c.frameTime;
        EXPECT_NEAR(anchor.rotY, c.endRotY, TOLERANCE) << c.keys.size() << " keys, " << c.frameTime;
    }
}
