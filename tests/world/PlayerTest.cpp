#include "world/InputState.h"
#include "world/Player.h"
#include "world/TestTerrain.h"

#include <gtest/gtest.h>

namespace {

constexpr float TOLERANCE = 1e-4f;

class PlayerTest : public testing::Test {
protected:
    void hold(int key) { input.pressed[key] = true; }

    InputState input;
    Terrain flat = makeFlatTerrain();
    Player player{&input, nullptr, Vec3(100, 0, 100), 0, 0, 0, 0.5f};
};

}

TEST_F(PlayerTest, StartsAtRestAndHandsOutCopies) {
    EXPECT_EQ(player.keySpeed, 0.0f);
    EXPECT_EQ(player.keyTurnSpeed, 0.0f);
    EXPECT_EQ(player.verticalSpeed, 0.0f);
    EXPECT_FALSE(player.isMoving());
    EXPECT_EQ(player.textureIndex, 0);
    Vec3 copy = player.getPosition();
    copy.x = -1;
    EXPECT_EQ(player.position.x, 100.0f);
}

TEST_F(PlayerTest, WWalksForwardAndSetsMovingWhileSBacksOffWithoutIt) {
    hold(Keys::W);
    hold(Keys::S);
    player.move(flat, 0.1f);
    EXPECT_EQ(player.keySpeed, -50.0f);
    EXPECT_TRUE(player.isMoving());
    EXPECT_NEAR(player.position.z, 95.0f, TOLERANCE);

    input.pressed[Keys::W] = false;
    player.move(flat, 0.1f);
    EXPECT_EQ(player.keySpeed, 50.0f);
    EXPECT_FALSE(player.isMoving());
    EXPECT_NEAR(player.position.z, 100.0f, TOLERANCE);
}

TEST_F(PlayerTest, TurnsWithAAndDAndWalksAlongTheHeading) {
    hold(Keys::A);
    player.move(flat, 0.5f);
    EXPECT_NEAR(player.rotY, 80.0f, TOLERANCE);
    hold(Keys::D); // D wins over A
    player.move(flat, 0.0625f);
    EXPECT_NEAR(player.rotY, 70.0f, TOLERANCE);

    input.pressed.clear();
    player.rotY = 90;
    hold(Keys::W);
    player.move(flat, 0.1f);
    EXPECT_NEAR(player.position.x, 95.0f, TOLERANCE);
    EXPECT_NEAR(player.position.z, 100.0f, TOLERANCE);
}

TEST_F(PlayerTest, LongFrameStepsOnlyANominalFrame) {
    hold(Keys::W);
    player.move(flat, 0.5f);
    EXPECT_NEAR(player.position.z, 100.0f - 0.85f, TOLERANCE);
}

TEST_F(PlayerTest, FallsUnderGravityAndLandsOnTheGround) {
    player.position.y = 10;
    player.move(flat, 0.1f);
    EXPECT_NEAR(player.verticalSpeed, -5.0f, TOLERANCE);
    EXPECT_NEAR(player.position.y, 9.5f, TOLERANCE);
    player.move(flat, 0.1f);
    EXPECT_NEAR(player.position.y, 8.5f, TOLERANCE);
    player.move(flat, 1.0f);
    EXPECT_EQ(player.position.y, 0.0f);
    EXPECT_EQ(player.verticalSpeed, 0.0f);
}

TEST_F(PlayerTest, FollowsRisingGround) {
    // Height rises 5 units per 100 along x.
    const Terrain slope = makeTerrain(6, [](int gx, int) { return (unsigned char)(128 + 16 * gx); });
    player.rotY = -90; // W walks towards +x
    hold(Keys::W);
    for (int frame = 0; frame < 10; ++frame) {
        player.move(slope, 0.1f);
        EXPECT_NEAR(player.position.y, player.position.x / 20.0f, TOLERANCE) << frame;
    }
    EXPECT_NEAR(player.position.x, 150.0f, TOLERANCE);
}
