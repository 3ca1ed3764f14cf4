#include "world/Player.h"
#include "world/InputState.h"
#include "world/TestTerrain.h"

#include <gtest/gtest.h>

namespace {
constexpr float TOLERANCE = 1e-4f;

const Terrain& slope() { // y = x / 20
    static const Terrain terrain = makeTerrain(6, [](int gx, int) { return (unsigned char)(128 + 16 * gx); });
    return terrain;
}
}

// Only walking (W) counts as moving.
TEST(Player, KeysWalkAndTurnAlongTheHeading) {
    // Heading in degrees and frame time in seconds; then where the player ends, its heading and moving flag.
    struct Case {
        std::vector<int> keys;
        float rotY, frameTime;
        Vec3 position;
        float endRotY;
        bool moving;
    };
    const Case cases[] = {
        {{Keys::W, Keys::S}, 0, 0.1f, Vec3(100, 5, 95), 0, true}, // W wins
        {{Keys::S}, 0, 0.1f, Vec3(100, 5, 105), 0, false},
        {{Keys::W}, 90, 0.1f, Vec3(95, 4.75f, 100), 90, true},
        {{Keys::W}, 0, 0.5f, Vec3(100, 5, 100 - 50 * 0.017f), 0, true}, // a long frame steps a nominal one
        {{Keys::A}, 0, 0.5f, Vec3(100, 5, 100), 80, false},
        {{Keys::A, Keys::D}, 0, 0.0625f, Vec3(100, 5, 100), -10, false}, // D wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.keys.front() << ", frame " << c.frameTime);
        InputState input;
        for (const int key : c.keys)
            input.pressed[key] = true;
        Player player(&input, nullptr, Vec3(100, 0, 100), 0, c.rotY, 0, 0.5f);
        player.move(slope(), c.frameTime);
        EXPECT_LT(glm::distance(player.position, c.position), TOLERANCE);
        EXPECT_NEAR(player.rotY, c.endRotY, TOLERANCE);
        EXPECT_EQ(player.isMoving(), c.moving);
    }
}

TEST(Player, GravityLandsAFallingPlayerOnTheGround) {
    Player faller(nullptr, nullptr, Vec3(100, 15, 100), 0, 0, 0, 0.5f);
    // Gravity speeds the fall before each step: 5 then 10 units per second gives 13.5 (the other order 14.5).
    for (int frame = 0; frame < 2; ++frame)
        faller.move(slope(), 0.1f);
    EXPECT_NEAR(faller.position.y, 13.5f, TOLERANCE);
    faller.move(slope(), 1.0f);
    EXPECT_NEAR(faller.position.y, 5.0f, TOLERANCE); // landed on the slope
    EXPECT_EQ(faller.verticalSpeed, 0.0f);
}
