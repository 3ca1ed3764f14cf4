#include "world/PathWalking.h"
#include "world/InputState.h"
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

TEST_F(PathWalkingTest, WalksToEachPointInTurnLandingOnItAndStopsAtTheEnd) {
    path = {Vec3(10, 0, 0.3f), Vec3(10.8f, 0, 0), Vec3(0, 0, 10)};
    for (int frame = 1; frame <= 5; ++frame) { // only the far axis moves
        ASSERT_EQ(walk(), WalkStep::Moved) << frame;
        EXPECT_NEAR(player.position.x, 2.0f * frame, TOLERANCE);
    }
    EXPECT_EQ(player.position.z, 0.0f);
    EXPECT_TRUE(player.moving);
    EXPECT_EQ(walk(), WalkStep::Arrived);
    EXPECT_FALSE(player.moving);
    EXPECT_EQ(path.front(), Vec3(10.8f, 0, 0));
    // Once a step of 2 from 0.8 short would have swung between 1.2 past and 0.8 short forever.
    EXPECT_EQ(walk(), WalkStep::Moved);
    EXPECT_EQ(player.position.x, 10.8f);
    EXPECT_EQ(walk(), WalkStep::Arrived);
    // Both axes move in one frame, in either direction.
    walk();
    EXPECT_LT(glm::distance(player.position, Vec3(8.8f, 0, 2)), TOLERANCE);
    for (int frame = 0; frame < 20 && !path.empty(); ++frame)
        walk(0.25f);
    EXPECT_TRUE(path.empty());
    EXPECT_LT(glm::distance(player.position, Vec3(0, 0, 10)), PathWalking::ARRIVAL_TOLERANCE);
    // An empty path leaves the player where it is: the caller hides the marker.
    const Vec3 before = player.position;
    EXPECT_EQ(walk(), WalkStep::PathEmpty);
    EXPECT_EQ(player.position, before);
}

// Ground height x / 20 + z / 40 for these two.
TEST_F(PathWalkingTest, StandsStillOnTheGroundWithoutForwardTime) {
    terrain = makeTerrain(6, [](int gx, int gz) { return (unsigned char)(128 + 16 * gx + 8 * gz); });
    player.position = Vec3(100, 0, 100);
    path = {Vec3(300, 0, 300)};
    for (const float stillTime : {0.0f, CLOCK_WRAP}) {
        walk(stillTime);
        EXPECT_EQ(player.position, Vec3(100, 7.5f, 100)) << stillTime;
    }
}

TEST_F(PathWalkingTest, FollowsTheGroundSlowerOnlyUphill) {
    terrain = makeTerrain(6, [](int gx, int gz) { return (unsigned char)(128 + 16 * gx + 8 * gz); });
    player.position = Vec3(100, 7.5f, 100);
    // Towards a lower point, one as high as the player, one a picker's rounding above it (level
    // ground as clicked), and two higher ones: steps of 2, 2, 2, 0.9 and 0.9 along x = z.
    const std::pair<float, float> climbs[] = {
        {-1.0f, 102.0f}, {0.0f, 104.0f}, {2e-5f, 106.0f}, {0.05f, 106.9f}, {1.0f, 107.8f}};
    for (const auto& [climb, reached] : climbs) {
        path = {Vec3(300, player.position.y + climb, 300)};
        walk();
        EXPECT_LT(glm::distance(player.position, Vec3(reached, reached * 0.075f, reached)), TOLERANCE) << climb;
    }
}

TEST(ClickAreas, SortsPixelsIntoButtonsColumnsAndTerrain) {
    struct Case {
        int x, y;
        ClickTarget expected;
    };
    using T = ClickTarget;
    const Case cases[] = {
        // READY spans x 615..716, RESET 308..409, both y 649..725
        {615, 687, T::Ready},        {716, 687, T::Ready}, {614, 691, T::Terrain},      {717, 687, T::Terrain},
        {308, 687, T::Reset},        {409, 687, T::Reset}, {307, 687, T::Terrain},      {410, 687, T::Terrain},
        {666, 649, T::Ready},        {666, 725, T::Ready}, {666, 648, T::ButtonColumn}, {666, 726, T::ButtonColumn},
        {358, 100, T::ButtonColumn},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classifyClick(c.x, c.y, 1024, 768), c.expected) << c.x << ", " << c.y;
}

TEST(AnchorKeys, ArrowsWalkTheAnchorOnTheGroundAndTurnIt) {
    const Terrain slope = makeTerrain(6, [](int, int gz) { return (unsigned char)(128 + 16 * gz); }); // y = z / 20
    // Heading in degrees and frame time in seconds; then where the anchor ends and its heading.
    struct Case {
        std::vector<int> keys;
        float rotY, frameTime;
        Vec3 position;
        float endRotY;
    };
    const Case cases[] = {
        {{Keys::W}, 0, 0.1f, Vec3(100, 0, 100), 0}, // the player's key does nothing here
        {{Keys::UP}, 0, 0.1f, Vec3(100, 5.25f, 105), 0},
        {{Keys::UP, Keys::DOWN, Keys::LEFT}, 0, 0.1f, Vec3(100, 5, 100), 16}, // Up and Down cancel
        {{Keys::DOWN, Keys::RIGHT}, 90, 0.1f, Vec3(95, 5, 100), 74},          // walks before it turns
        // Long frames and the clock wrap step a nominal frame in the key's direction.
        {{Keys::UP}, 0, 0.5f, Vec3(100, 100.85f / 20, 100.85f), 0},
        {{Keys::UP}, 0, CLOCK_WRAP, Vec3(100, 100.85f / 20, 100.85f), 0},
        {{Keys::DOWN}, 0, 0.5f, Vec3(100, 99.15f / 20, 99.15f), 0},
    };
    for (const Case& c : cases) {
        Player anchor(nullptr, nullptr, Vec3(100, 0, 100), 0, c.rotY, 0, 2);
        InputState input;
        for (const int key : c.keys)
            input.pressed[key] = true;
        moveAnchor(anchor, input, slope, c.frameTime);
        EXPECT_LT(glm::distance(anchor.position, c.position), TOLERANCE) << c.keys.size() << " keys, " << c.frameTime;
        EXPECT_NEAR(anchor.rotY, c.endRotY, TOLERANCE) << c.keys.size() << " keys, " << c.frameTime;
    }
}
