// Checks the generated ground and sky images against what the scene needs of them: where
// objects stand, where the water is, what the terrain shader and the sky box read.

#include <SOIL/SOIL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr double TERRAIN_SIZE = 500.0;
constexpr double WATER_LEVEL = -21.0;
constexpr double WATER_MIN = 90.0;         // the water tile covers 90..330 on x and z
constexpr double WATER_MAX = 330.0;
constexpr double DRY_MARGIN = 5.0;         // placements stand this far above the water
constexpr double MAX_PLACEMENT_SLOPE_DEGREES = 30.0;
// Single triangles may tilt by one extra 8-bit step (0.3125 over a 1.96 unit cell).
constexpr double MAX_TRIANGLE_SLOPE_DEGREES = 35.0;
constexpr double COTTAGE_HEIGHT = 1.875;   // grey level 134
constexpr double RADIANS_TO_DEGREES = 57.29577951308232;

struct Point {
    double x, z;
};

// Everything the scene stands on the ground: start, trees, lamps, ferns, cottage.
const Point PLACEMENTS[] = {
    {188, 377}, {60, 118}, {292, 132}, {383, 106}, {457, 214}, {461, 333}, {425, 421}, {112, 424},
    {291, 273}, {111, 138}, {306, 264}, {225, 274}, {92, 230},  {95, 144},  {158, 252}, {255, 252},
};

struct Picture {
    int width = 0, height = 0, channels = 0; // channels as stored in the file
    std::vector<std::uint8_t> pixels;        // forced to `forced` channels if non-zero
    int stride = 0;

    int at(int x, int y, int c) const { return pixels[(size_t(y) * width + x) * stride + c]; }
};

Picture load(const std::string& name, int force = SOIL_LOAD_AUTO) {
    Picture picture;
    const std::string path = std::string(WM_SOURCE_DIR) + "/Resources/" + name;
    unsigned char* data = SOIL_load_image(path.c_str(), &picture.width, &picture.height, &picture.channels, force);
    if (!data) return picture;
    picture.stride = force == SOIL_LOAD_AUTO ? picture.channels : force;
    picture.pixels.assign(data, data + size_t(picture.width) * picture.height * picture.stride);
    SOIL_free_image_data(data);
    return picture;
}

// The height map read the way the game reads it: grey level to height, triangle
// interpolation inside each grid square.
class Ground {
public:
    Ground() : picture(load("heightmap3.png", SOIL_LOAD_L)) {}

    bool loaded() const { return !picture.pixels.empty(); }
    int size() const { return picture.height; }
    double spacing() const { return TERRAIN_SIZE / (size() - 1); }
    int pixel(int gx, int gz) const { return picture.at(gx, gz, 0); }
    double vertex(int gx, int gz) const { return (pixel(gx, gz) - 128.0) * 0.3125; }

    double heightAt(double x, double z) const {
        const int gx = int(std::floor(x / spacing())), gz = int(std::floor(z / spacing()));
        const double u = x / spacing() - gx, v = z / spacing() - gz;
        if (u <= 1.0 - v)
            return (1.0 - u - v) * vertex(gx, gz) + u * vertex(gx + 1, gz) + v * vertex(gx, gz + 1);
        return (1.0 - v) * vertex(gx + 1, gz) + (u + v - 1.0) * vertex(gx + 1, gz + 1) + (1.0 - u) * vertex(gx, gz + 1);
    }

    // Tilt of the least-squares plane through the vertices within `radius` of (x, z).
    double planeSlopeDegrees(double x, double z, double radius) const {
        double n = 0, sx = 0, sz = 0, sh = 0, sxx = 0, szz = 0, sxz = 0, sxh = 0, szh = 0;
        for (int gz = 0; gz < size(); ++gz) {
            for (int gx = 0; gx < size(); ++gx) {
                const double dx = gx * spacing() - x, dz = gz * spacing() - z, h = vertex(gx, gz);
                if (dx * dx + dz * dz > radius * radius) continue;
                n += 1; sx += dx; sz += dz; sh += h;
                sxx += dx * dx; szz += dz * dz; sxz += dx * dz; sxh += dx * h; szh += dz * h;
            }
        }
        // Normal equations of h = a + b dx + c dz, with the mean removed.
        const double cxx = sxx - sx * sx / n, czz = szz - sz * sz / n, cxz = sxz - sx * sz / n;
        const double cxh = sxh - sx * sh / n, czh = szh - sz * sh / n;
        const double det = cxx * czz - cxz * cxz;
        const double b = (cxh * czz - czh * cxz) / det, c = (czh * cxx - cxh * cxz) / det;
        return std::atan(std::sqrt(b * b + c * c)) * RADIANS_TO_DEGREES;
    }

    // Steepest triangle among the grid squares touching the disc of `radius` around (x, z).
    double steepestTriangleDegrees(double x, double z, double radius) const {
        double steepest = 0.0;
        const int lo = int((x - radius) / spacing()), hi = int((x + radius) / spacing());
        const int loZ = int((z - radius) / spacing()), hiZ = int((z + radius) / spacing());
        for (int gz = loZ; gz <= hiZ; ++gz) {
            for (int gx = lo; gx <= hi; ++gx) {
                const double h00 = vertex(gx, gz), h10 = vertex(gx + 1, gz);
                const double h01 = vertex(gx, gz + 1), h11 = vertex(gx + 1, gz + 1);
                const double first = std::hypot(h10 - h00, h01 - h00) / spacing();
                const double second = std::hypot(h11 - h01, h11 - h10) / spacing();
                steepest = std::max(steepest, std::atan(std::max(first, second)) * RADIANS_TO_DEGREES);
            }
        }
        return steepest;
    }

private:
    Picture picture;
};

bool insideWaterSquare(double x, double z) {
    return x >= WATER_MIN && x <= WATER_MAX && z >= WATER_MIN && z <= WATER_MAX;
}

double distanceToNearestPlacement(double x, double z) {
    double nearest = 1e9;
    for (const Point& p : PLACEMENTS) nearest = std::min(nearest, std::hypot(x - p.x, z - p.z));
    return nearest;
}

class TerrainData : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ground.loaded()) << "Resources/heightmap3.png did not decode"; }
    Ground ground;
};

TEST_F(TerrainData, HeightMapIsOneGreyChannelOnTheGameGrid) {
    const Picture file = load("heightmap3.png");
    EXPECT_EQ(file.width, 256);
    EXPECT_EQ(file.height, 256);
    EXPECT_EQ(file.channels, 1);
}

TEST_F(TerrainData, EveryPlacementStandsOnDryGentleGround) {
    for (const Point& p : PLACEMENTS) {
        SCOPED_TRACE("placement at " + std::to_string(int(p.x)) + ", " + std::to_string(int(p.z)));
        EXPECT_GE(ground.heightAt(p.x, p.z), WATER_LEVEL + DRY_MARGIN);
        EXPECT_LT(ground.planeSlopeDegrees(p.x, p.z, 5.0), MAX_PLACEMENT_SLOPE_DEGREES);
        EXPECT_LT(ground.steepestTriangleDegrees(p.x, p.z, 2.0), MAX_TRIANGLE_SLOPE_DEGREES);
    }
}

TEST_F(TerrainData, CottageStandsOnAFlatPadWithALevelDoorYard) {
    // Every vertex of the squares under the house and a margin around it is at grey 134.
    for (int gz = 0; gz < ground.size(); ++gz) {
        for (int gx = 0; gx < ground.size(); ++gx) {
            const double x = gx * ground.spacing(), z = gz * ground.spacing();
            if (std::fabs(x - 255.0) > 16.0 || std::fabs(z - 252.0) > 16.0) continue;
            ASSERT_EQ(ground.pixel(gx, gz), 134) << x << ", " << z;
        }
    }
    for (double x = 242.0; x <= 268.0; x += 0.7)
        for (double z = 239.0; z <= 265.0; z += 0.7) ASSERT_NEAR(ground.heightAt(x, z), COTTAGE_HEIGHT, 1e-9);
    // The door zone east of the house is walkable ground close to the floor height.
    for (double x = 272.0; x < 320.0; x += 4.0) {
        for (double z = 257.0; z < 275.0; z += 4.0) {
            EXPECT_NEAR(ground.heightAt(x, z), COTTAGE_HEIGHT, 1.0) << x << ", " << z;
            EXPECT_LT(ground.planeSlopeDegrees(x, z, 4.0), 10.0) << x << ", " << z;
        }
    }
}

TEST_F(TerrainData, QuestLampZoneIsWalkable) {
    for (double x = 100.0; x < 123.0; x += 2.0) {
        for (double z = 130.0; z < 147.0; z += 2.0) {
            EXPECT_GE(ground.heightAt(x, z), WATER_LEVEL + DRY_MARGIN) << x << ", " << z;
            EXPECT_LT(ground.planeSlopeDegrees(x, z, 4.0), MAX_PLACEMENT_SLOPE_DEGREES) << x << ", " << z;
        }
    }
}

TEST_F(TerrainData, OneLakeInsideTheWaterSquareAwayFromEveryPlacement) {
    const int n = ground.size();
    std::vector<int> wet;
    double deepest = 0.0;
    for (int gz = 0; gz < n; ++gz) {
        for (int gx = 0; gx < n; ++gx) {
            const double x = gx * ground.spacing(), z = gz * ground.spacing(), h = ground.vertex(gx, gz);
            if (!insideWaterSquare(x, z)) {
                ASSERT_GE(h, -18.0) << "low ground outside the water at " << x << ", " << z;
                continue;
            }
            if (h >= WATER_LEVEL) continue;
            wet.push_back(gz * n + gx);
            deepest = std::min(deepest, h);
            ASSERT_GE(distanceToNearestPlacement(x, z), 20.0) << "water too close to an object at " << x << ", " << z;
        }
    }
    ASSERT_FALSE(wet.empty()) << "no lake";
    EXPECT_LT(deepest, -30.0);
    EXPECT_GT(wet.size(), 500u) << "the lake should be more than a puddle";
    // All wet vertices form one body of water (4-connected).
    std::vector<char> seen(size_t(n) * n, 0), isWet(size_t(n) * n, 0);
    for (int i : wet) isWet[i] = 1;
    std::vector<int> stack = {wet.front()};
    seen[wet.front()] = 1;
    size_t reached = 0;
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        ++reached;
        const int gx = i % n, gz = i / n;
        const int next[4][2] = {{gx + 1, gz}, {gx - 1, gz}, {gx, gz + 1}, {gx, gz - 1}};
        for (const auto& nb : next) {
            if (nb[0] < 0 || nb[1] < 0 || nb[0] >= n || nb[1] >= n) continue;
            const int j = nb[1] * n + nb[0];
            if (isWet[j] && !seen[j]) {
                seen[j] = 1;
                stack.push_back(j);
            }
        }
    }
    EXPECT_EQ(reached, wet.size());
}

TEST_F(TerrainData, WalkingRoutesStayOnDryGround) {
    const Point start = {188, 377};
    const Point goals[] = {{295, 265}, {111, 138}}; // cottage door, quest lamp
    for (const Point& goal : goals) {
        for (double t = 0.0; t <= 1.0; t += 0.01) {
            const double x = start.x + (goal.x - start.x) * t, z = start.z + (goal.z - start.z) * t;
            EXPECT_GE(ground.heightAt(x, z), WATER_LEVEL + DRY_MARGIN) << x << ", " << z;
            EXPECT_LT(ground.planeSlopeDegrees(x, z, 4.0), MAX_TRIANGLE_SLOPE_DEGREES) << x << ", " << z;
        }
    }
}

// Mean absolute difference across the wrap-around edges compared with the same measure
// between neighbouring columns and rows inside the image: equal for a seamless tile.
void expectTilesSeamlessly(const Picture& p, const std::string& name) {
    double across = 0.0, inside = 0.0;
    for (int i = 0; i < p.height; ++i) {
        for (int c = 0; c < p.stride; ++c) {
            across += std::abs(p.at(0, i, c) - p.at(p.width - 1, i, c)) + std::abs(p.at(i, 0, c) - p.at(i, p.height - 1, c));
            inside += std::abs(p.at(p.width / 2, i, c) - p.at(p.width / 2 - 1, i, c)) +
                      std::abs(p.at(i, p.height / 2, c) - p.at(i, p.height / 2 - 1, c));
        }
    }
    EXPECT_LT(across, 1.5 * inside + 1.0 * p.height) << name << " shows a seam when tiled";
}

bool isTextureSize(int size) { return size == 256 || size == 512; }

TEST(TerrainImages, GroundTexturesAreVariedSeamlessColourTiles) {
    for (const char* name : {"grassy2.png", "mud.png", "grassFlowers.png", "path.png"}) {
        SCOPED_TRACE(name);
        const Picture p = load(name);
        ASSERT_FALSE(p.pixels.empty());
        EXPECT_EQ(p.channels, 3);
        EXPECT_TRUE(isTextureSize(p.width));
        EXPECT_EQ(p.width, p.height);
        expectTilesSeamlessly(p, name);
        // Not a flat colour: the green channel varies.
        double sum = 0.0, sum2 = 0.0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) sum += p.at(x, y, 1), sum2 += p.at(x, y, 1) * p.at(x, y, 1);
        const double count = double(p.width) * p.height;
        EXPECT_GT(std::sqrt(sum2 / count - (sum / count) * (sum / count)), 5.0);
    }
}

// Value of a map laid over the terrain (column = x / 500, row = z / 500) at world (x, z).
int mapAt(const Picture& p, double x, double z, int channel) {
    const int col = std::min(p.width - 1, int(x / TERRAIN_SIZE * p.width));
    const int row = std::min(p.height - 1, int(z / TERRAIN_SIZE * p.height));
    return p.at(col, row, channel);
}

TEST_F(TerrainData, BlendMapWeightsStayWithinOneAndFollowTheScene) {
    const Picture blend = load("blendMapAlt.png");
    ASSERT_FALSE(blend.pixels.empty());
    EXPECT_EQ(blend.channels, 3);
    EXPECT_TRUE(isTextureSize(blend.width));
    EXPECT_EQ(blend.width, blend.height);
    for (int y = 0; y < blend.height; ++y)
        for (int x = 0; x < blend.width; ++x)
            ASSERT_LE(blend.at(x, y, 0) + blend.at(x, y, 1) + blend.at(x, y, 2), 255) << x << ", " << y;
    // Gravel at the start, in the door yard and at the quest lamp.
    EXPECT_GT(mapAt(blend, 188, 377, 2), 200);
    EXPECT_GT(mapAt(blend, 288, 265, 2), 200);
    EXPECT_GT(mapAt(blend, 111, 141, 2), 200);
    // Mud along the water's edge, wherever the height map puts it.
    double shoreRed = 0.0;
    int shoreCount = 0;
    for (int gz = 0; gz < ground.size(); ++gz) {
        for (int gx = 0; gx < ground.size(); ++gx) {
            const double h = ground.vertex(gx, gz);
            if (h < WATER_LEVEL - 0.5 || h > WATER_LEVEL + 0.5) continue;
            shoreRed += mapAt(blend, gx * ground.spacing(), gz * ground.spacing(), 0);
            ++shoreCount;
        }
    }
    ASSERT_GT(shoreCount, 0);
    EXPECT_GT(shoreRed / shoreCount, 180.0);
    // Some flowers somewhere, but not everywhere.
    int flowery = 0;
    for (int y = 0; y < blend.height; ++y)
        for (int x = 0; x < blend.width; ++x) flowery += blend.at(x, y, 1) > 128;
    EXPECT_GT(flowery, blend.width * blend.height / 100);
    EXPECT_LT(flowery, blend.width * blend.height / 3);
}

TEST_F(TerrainData, LightMapIsBrightAndFollowsTheSunlitSlopes) {
    const Picture light = load("terrainLightMap.png");
    ASSERT_FALSE(light.pixels.empty());
    EXPECT_EQ(light.channels, 1);
    EXPECT_TRUE(isTextureSize(light.width));
    EXPECT_EQ(light.width, light.height);
    const auto [darkest, brightest] = std::minmax_element(light.pixels.begin(), light.pixels.end());
    EXPECT_GE(*darkest, 100) << "the shader lights the ground again; the map must never go black";
    EXPECT_GE(*brightest, 240);
    EXPECT_GE(mapAt(light, 188, 377, 0), 220) << "the open meadow at the start is sunlit";
    const double length = std::sqrt(150.0 * 150.0 + 10000.0 * 10000.0 + 7900.0 * 7900.0);
    const double sun[3] = {-150.0 / length, 10000.0 / length, 7900.0 / length};
    // Over the whole terrain, the map must follow the sunlight that the height map implies.
    double n = 0, sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (int gz = 2; gz < ground.size() - 2; ++gz) {
        for (int gx = 2; gx < ground.size() - 2; ++gx) {
            const double s = 2.0 * ground.spacing();
            const double dx = (ground.vertex(gx + 2, gz) - ground.vertex(gx - 2, gz)) / (2.0 * s);
            const double dz = (ground.vertex(gx, gz + 2) - ground.vertex(gx, gz - 2)) / (2.0 * s);
            const double lambert = (-dx * sun[0] + sun[1] - dz * sun[2]) / std::sqrt(dx * dx + 1.0 + dz * dz);
            const double value = mapAt(light, gx * ground.spacing(), gz * ground.spacing(), 0);
            n += 1, sa += lambert, sb += value, saa += lambert * lambert, sbb += value * value, sab += lambert * value;
        }
    }
    const double correlation = (sab - sa * sb / n) / std::sqrt((saa - sa * sa / n) * (sbb - sb * sb / n));
    EXPECT_GT(correlation, 0.7) << "the light map does not match the height map's sunlit and shaded slopes";
}

TEST(TerrainImages, WaterDistortionIsASmoothTileableOffsetAround128) {
    const Picture p = load("waterDUDV.png");
    ASSERT_FALSE(p.pixels.empty());
    EXPECT_EQ(p.channels, 3);
    EXPECT_TRUE(isTextureSize(p.width));
    EXPECT_EQ(p.width, p.height);
    expectTilesSeamlessly(p, "waterDUDV.png");
    for (int c = 0; c < 2; ++c) {
        double sum = 0.0, sum2 = 0.0;
        int lo = 255, hi = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const int v = p.at(x, y, c);
                sum += v, sum2 += double(v) * v, lo = std::min(lo, v), hi = std::max(hi, v);
            }
        }
        const double count = double(p.width) * p.height, mean = sum / count;
        EXPECT_NEAR(mean, 128.0, 10.0);
        const double spread = std::sqrt(sum2 / count - mean * mean);
        EXPECT_GT(spread, 15.0);
        EXPECT_LT(spread, 70.0);
        EXPECT_LT(lo, 90);
        EXPECT_GT(hi, 166);
    }
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) ASSERT_TRUE(p.at(x, y, 2) == 0 || p.at(x, y, 2) == 128);
}

// The six sky faces in cube-map order (+x, -x, +y, -y, +z, -z).
class SkyBox {
public:
    SkyBox() {
        const char* files[] = {"skyboxRight.png", "skyboxLeft.png", "skyboxTop.png",
                               "skyboxBottom.png", "skyboxBack.png", "skyboxFront.png"};
        for (const char* file : files) faces.push_back(load(file));
    }

    std::vector<Picture> faces;

    // OpenGL's cube-map lookup: the major axis picks the face, the other two give s and t.
    const std::uint8_t* lookUp(double x, double y, double z) const {
        const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
        int face;
        double sc, tc, ma;
        if (ax >= ay && ax >= az) {
            ma = ax, face = x > 0 ? 0 : 1, sc = x > 0 ? -z : z, tc = -y;
        } else if (ay >= az) {
            ma = ay, face = y > 0 ? 2 : 3, sc = x, tc = y > 0 ? z : -z;
        } else {
            ma = az, face = z > 0 ? 4 : 5, sc = z > 0 ? x : -x, tc = -y;
        }
        const Picture& p = faces[face];
        const int col = std::min(p.width - 1, int((sc / ma + 1.0) * 0.5 * p.width));
        const int row = std::min(p.height - 1, int((tc / ma + 1.0) * 0.5 * p.height));
        return &p.pixels[(size_t(row) * p.width + col) * 3];
    }
};

// Direction of face coordinates (s, t in -1..1) by the same table the lookup inverts.
void faceDirection(int face, double s, double t, double d[3]) {
    const double table[6][3] = {{1, -t, -s}, {-1, -t, s}, {s, 1, t}, {s, -1, -t}, {s, -t, 1}, {-s, -t, -1}};
    for (int i = 0; i < 3; ++i) d[i] = table[face][i];
}

const int FOG[3] = {139, 158, 176}; // the scene's fog colour (0.5444, 0.62, 0.69)

class SkyImages : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Picture& p : sky.faces) {
            ASSERT_FALSE(p.pixels.empty());
            ASSERT_EQ(p.channels, 3);
            ASSERT_EQ(p.width, p.height);
            ASSERT_EQ(p.width, sky.faces[0].width);
        }
    }
    SkyBox sky;
};

TEST_F(SkyImages, FacesJoinWithoutSeams) {
    const int size = sky.faces[0].width;
    double total = 0.0;
    int count = 0, worst = 0;
    for (int face = 0; face < 6; ++face) {
        for (int i = 0; i < size; ++i) {
            const double along = 2.0 * (i + 0.5) / size - 1.0;
            const double beyond = 1.0 + 1.0 / size; // half a texel past the face's edge
            const double edges[4][2] = {{-beyond, along}, {beyond, along}, {along, -beyond}, {along, beyond}};
            const double inside[4][2] = {{-1.0 + 1.0 / size, along}, {1.0 - 1.0 / size, along},
                                         {along, -1.0 + 1.0 / size}, {along, 1.0 - 1.0 / size}};
            for (int e = 0; e < 4; ++e) {
                double here[3], there[3];
                faceDirection(face, inside[e][0], inside[e][1], here);
                faceDirection(face, edges[e][0], edges[e][1], there);
                const std::uint8_t* a = sky.lookUp(here[0], here[1], here[2]);
                const std::uint8_t* b = sky.lookUp(there[0], there[1], there[2]);
                ASSERT_NE(a, b) << "the step past the edge should land on the next face";
                for (int c = 0; c < 3; ++c) {
                    const int diff = std::abs(int(a[c]) - int(b[c]));
                    worst = std::max(worst, diff);
                    total += diff;
                    ++count;
                }
            }
        }
    }
    EXPECT_LT(total / count, 1.5);
    EXPECT_LE(worst, 24) << "neighbouring texels across a face edge differ too much";
}

TEST_F(SkyImages, HorizonAndEverythingBelowAreFogColoured) {
    const int size = sky.faces[0].width;
    for (int face = 0; face < 6; ++face) {
        for (int row = 0; row < size; row += 3) {
            for (int col = 0; col < size; col += 3) {
                double d[3];
                faceDirection(face, 2.0 * (col + 0.5) / size - 1.0, 2.0 * (row + 0.5) / size - 1.0, d);
                const double y = d[1] / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                if (y > 0.02) continue;
                const std::uint8_t* p = &sky.faces[face].pixels[(size_t(row) * size + col) * 3];
                const int tolerance = y <= 0.0 ? 1 : 6;
                for (int c = 0; c < 3; ++c) ASSERT_NEAR(p[c], FOG[c], tolerance) << "face " << face << " " << col << ", " << row;
            }
        }
    }
}

TEST_F(SkyImages, SunShinesFromTheFirstLightAndTheZenithIsDeepBlue) {
    const int size = sky.faces[0].width;
    int brightest = 0;
    for (const Picture& p : sky.faces)
        for (size_t i = 0; i < p.pixels.size(); i += 3) brightest = std::max(brightest, p.pixels[i] + p.pixels[i + 1] + p.pixels[i + 2]);
    // Centre of the brightest texels, as a direction.
    double sum[3] = {0, 0, 0};
    for (int face = 0; face < 6; ++face) {
        for (int row = 0; row < size; ++row) {
            for (int col = 0; col < size; ++col) {
                const std::uint8_t* p = &sky.faces[face].pixels[(size_t(row) * size + col) * 3];
                if (p[0] + p[1] + p[2] < brightest - 6) continue;
                double d[3];
                faceDirection(face, 2.0 * (col + 0.5) / size - 1.0, 2.0 * (row + 0.5) / size - 1.0, d);
                const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                for (int i = 0; i < 3; ++i) sum[i] += d[i] / length;
            }
        }
    }
    const double sumLength = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    const double lightLength = std::sqrt(150.0 * 150.0 + 10000.0 * 10000.0 + 7900.0 * 7900.0);
    const double cosine = (sum[0] * -150.0 + sum[1] * 10000.0 + sum[2] * 7900.0) / (sumLength * lightLength);
    EXPECT_GT(cosine, std::cos(2.0 / RADIANS_TO_DEGREES)) << "the sun is not where the first light is";
    EXPECT_GE(brightest, 3 * 240);
    // Straight up the sky is a deep blue; near the horizon it is paler.
    const std::uint8_t* zenith = sky.lookUp(0.0, 1.0, -0.3);
    const std::uint8_t* low = sky.lookUp(0.0, 0.15, -1.0);
    EXPECT_GT(zenith[2] - zenith[0], 90);
    EXPECT_LT(low[2] - low[0], zenith[2] - zenith[0]);
}

}

