#include "world/InputState.h"
#include "world/PathWalking.h"
#include "world/Player.h"
#include "world/TestTerrain.h"

#include <gtest/gtest.h>

namespace {

constexpr float TOLERANCE = 1e-4f;
constexpr float FRAME = 0.1f; // seconds: a step of 2 at walking speed

class PathWalkingTest : public testing::Test {
protected:
    WalkStep walk(float frameTime = FRAME) { return walkPath(player, path, terrain, frameTime); }

    Terrain terrain = makeFlatTerrain();
    Player player{nullptr, nullptr, Vec3(0.0f), 0, 0, 0, 0.5f};
    std::deque<Vec3> path;
};

}

TEST_F(PathWalkingTest, EmptyPathLeavesThePlayerAlone) {
    player.moving = true;
    EXPECT_EQ(walk(), WalkStep::PathEmpty);
    EXPECT_EQ(player.position, Vec3(0.0f));
    EXPECT_TRUE(player.moving);
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
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path.front(), Vec3(50, 0, 50));
    EXPECT_NEAR(player.position.x, 10.0f, TOLERANCE);
}

TEST_F(PathWalkingTest, MovesBothAxesInOneFrameInEitherDirection) {
    path = {Vec3(-10, 0, 10)};
    walk();
    EXPECT_NEAR(player.position.x, -2.0f, TOLERANCE);
    EXPECT_NEAR(player.position.z, 2.0f, TOLERANCE);
}

TEST_F(PathWalkingTest, WalksSlowerTowardsAHigherPoint) {
    path = {Vec3(10, 1, 0)};
    walk();
    EXPECT_NEAR(player.position.x, 0.9f, TOLERANCE);
    path = {Vec3(20, player.position.y, 0)};
    walk();
    EXPECT_NEAR(player.position.x, 2.9f, TOLERANCE);
    path = {Vec3(30, -5, 0)};
    walk();
    EXPECT_NEAR(player.position.x, 4.9f, TOLERANCE);
}

TEST_F(PathWalkingTest, LandsOnAPointCloserThanOneStepInsteadOfOvershooting) {
    // Once a step of 2 from 0.8 short would have swung between 1.2 past and 0.8 short forever.
    path = {Vec3(0.8f, 0, 0), Vec3(-20, 0, 0)};
    EXPECT_EQ(walk(), WalkStep::Moved);
    EXPECT_EQ(player.position.x, 0.8f);
    EXPECT_EQ(walk(), WalkStep::Arrived);
    EXPECT_EQ(path.size(), 1u);
    for (int frame = 0; frame < 20 && !path.empty(); ++frame) {
        walk(0.25f);
    }
    EXPECT_TRUE(path.empty());
    EXPECT_NEAR(player.position.x, -20.0f, 0.5f);
}

TEST_F(PathWalkingTest, FollowsTheGroundAndStandsStillWithoutForwardTime) {
    terrain = makeTerrain(6, [](int gx, int gz) { return (unsigned char)(128 + 16 * gx + 8 * gz); });
    player.position = Vec3(100, 0, 100);
    path = {Vec3(300, 0, 100.2f)};
    walk(0.0f);
    EXPECT_EQ(player.position, Vec3(100, 7.5f, 100));
    walk(-3599.984f); // the clock wrapping at the hour must not throw the player back
    EXPECT_EQ(player.position, Vec3(100, 7.5f, 100));
    walk();
    EXPECT_NEAR(player.position.x, 102.0f, TOLERANCE);
    EXPECT_NEAR(player.position.y, terrain.heightAt(102, 100), TOLERANCE);
    EXPECT_NEAR(player.position.y, 102.0f / 20.0f + 100.0f / 40.0f, TOLERANCE);
}

TEST(ClickAreas, SortsPixelsIntoButtonsColumnsAndTerrain) {
    struct Case { int x, y; ClickTarget expected; };
    const Case cases[] = {
        {614, 691, ClickTarget::Terrain},     // x = 0.19922, just left of READY
        {666, 687, ClickTarget::Ready},       // centre of READY
        {358, 687, ClickTarget::Reset},       // centre of RESET
        {615, 687, ClickTarget::Ready},       {716, 687, ClickTarget::Ready},
        {717, 687, ClickTarget::Terrain},     {308, 687, ClickTarget::Reset},
        {307, 687, ClickTarget::Terrain},     {409, 687, ClickTarget::Reset},
        {410, 687, ClickTarget::Terrain},     {512, 687, ClickTarget::Terrain},
        {666, 649, ClickTarget::Ready},       {666, 648, ClickTarget::ButtonColumn},
        {666, 725, ClickTarget::Ready},       {666, 726, ClickTarget::ButtonColumn},
        {358, 100, ClickTarget::ButtonColumn}, {358, 767, ClickTarget::ButtonColumn},
        {0, 0, ClickTarget::Terrain},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classifyClick(c.x, c.y, 1024, 768), c.expected) << c.x << ", " << c.y;
    }
}

TEST(AnchorKeys, ArrowsWalkAndTurnTheAnchorOnTheGround) {
    const Terrain slope = makeTerrain(6, [](int, int gz) { return (unsigned char)(128 + 16 * gz); });
    Player anchor(nullptr, nullptr, Vec3(100, 0, 100), 0, 0, 0, 2);
    InputState input;
    input.pressed[Keys::W] = true; // the player's key does nothing here
    moveAnchor(anchor, input, slope, 0.1f);
    EXPECT_EQ(anchor.position, Vec3(100, 0, 100));

    input.pressed[Keys::UP] = true;
    moveAnchor(anchor, input, slope, 0.1f);
    EXPECT_NEAR(anchor.position.z, 105.0f, TOLERANCE);
    EXPECT_NEAR(anchor.position.y, 105.0f / 20.0f, TOLERANCE);

    input.pressed[Keys::DOWN] = true; // both held: they cancel
    input.pressed[Keys::LEFT] = true;
    moveAnchor(anchor, input, slope, 0.1f);
    EXPECT_NEAR(anchor.position.z, 105.0f, TOLERANCE);
    EXPECT_NEAR(anchor.rotY, 16.0f, TOLERANCE);

    input.pressed[Keys::UP] = false;
    input.pressed[Keys::LEFT] = false;
    input.pressed[Keys::RIGHT] = true;
    anchor.rotY = 90; // Down walks on this heading before Right turns it
    moveAnchor(anchor, input, slope, 0.1f);
    EXPECT_NEAR(anchor.position.x, 95.0f, TOLERANCE);
    EXPECT_NEAR(anchor.rotY, 74.0f, TOLERANCE);
}

TEST(AnchorKeys, LongOrBackwardFramesStepANominalFrameInTheKeysDirection) {
    const Terrain flat = makeFlatTerrain();
    Player anchor(nullptr, nullptr, Vec3(100, 0, 100), 0, 0, 0, 2);
    InputState input;
    input.pressed[Keys::UP] = true;
    moveAnchor(anchor, input, flat, 0.5f);
    EXPECT_NEAR(anchor.position.z, 100.85f, TOLERANCE);
    // The clock wrapping at the hour gives one hugely negative frame.
    moveAnchor(anchor, input, flat, -3599.984f);
    EXPECT_NEAR(anchor.position.z, 101.7f, TOLERANCE);
    input.pressed[Keys::UP] = false;
    input.pressed[Keys::DOWN] = true;
    moveAnchor(anchor, input, flat, 0.5f);
    EXPECT_NEAR(anchor.position.z, 100.85f, TOLERANCE);
}
