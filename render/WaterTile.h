#pragma once
// One square of water, 240 x 240 world units, centred at (x, z) at the given height.

struct WaterTile {
    float height = 0;
    float x = 0;
    float z = 0;

    WaterTile(float centreX, float centreZ, float givenHeight) : height(givenHeight), x(centreX), z(centreZ) {}
};
