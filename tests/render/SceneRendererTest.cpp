#include "RenderTestSupport.h"

namespace {

// Depth of the window at a pixel (x from the left, y from the top), 0 near to 1 far.
float windowDepth(const glm::ivec2& pixel) {
    float depth = 0;
    glReadPixels(pixel.x, 768 - 1 - pixel.y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

using Groups = std::vector<std::pair<Model*, std::vector<Entity*>>>;

// The groups in their order, to compare whole.
Groups groupsOf(const EntityBatches& batches) {
    Groups groups;
    for (const EntityBatch& batch : batches) groups.emplace_back(batch.model, batch.entities);
    return groups;
}

// The pass, the entity and terrain programs' clip planes, whether clipping is on, the
// framebuffer and the viewport.
using Plane = std::array<float, 4>;
using PassState = std::tuple<ScenePass, Plane, Plane, bool, GLint, std::array<GLint, 4>>;

struct PassRecord {
    PassState state;
    Groups groups;
    std::vector<Terrain*> terrains;
};

// A frame of one flat white terrain tile (0..500 on x and z), one water tile and a
// player, with every pass recorded as the renderer ends it.
class SceneRendering : public RenderTest {
protected:
    void SetUp() override {
        Programs& p = programs();
        renderer = std::make_unique<SceneRenderer>(loader, p.entity, p.terrain, p.skybox, p.gui, p.water, 1024, 768);
        material.textureName = ground.textureName = texture(rgba(255, 255, 255));
        model.mesh = square();
        // Flat; fine enough that the light and fog, worked out per vertex, are those of
        // the ground under each pixel.
        // 65 vertices a side, 7.8 units apart.
        const std::vector<unsigned char> heights(65 * 65, 128);
        terrain = std::make_unique<Terrain>(Terrain::buildGeometry(heights.data(), 65));
        terrain->mesh = loader.uploadMesh(terrain->positions, terrain->textureCoords, terrain->normals,
                                          terrain->indices);
        grounds = {&ground, &ground, &ground, &ground};
        terrain->textures = &grounds;
        terrain->blendMap = terrain->lightMap = &ground;
        camera.position = Vec3(188, 35, 377);
        camera.pitch = 45;
        camera.yaw = 30;
        renderer->setPassObserver([this](ScenePass pass, const EntityBatches& batches,
                                         const std::vector<Terrain*>& terrains) {
            const PassState state{pass, readUniform<4>(entityProgram, "clipPlane"),
                                  readUniform<4>(terrainProgram, "clipPlane"),
                                  glIsEnabled(GL_CLIP_DISTANCE0) == GL_TRUE, integerState(GL_FRAMEBUFFER_BINDING),
                                  viewport()};
            passes.push_back({state, groupsOf(batches), terrains});
        });
    }

    void TearDown() override {
        renderer->cleanUp();
        RenderTest::TearDown();
    }

    glm::ivec2 pixelOf(const Vec3& world) const {
        return windowPixelOf(renderer->getProjectionMatrix(), Transforms::makeViewMatrix(camera), world);
    }

    // The camera set, the ground under full light from straight above, no water, the player out of sight.
    void lookFrom(const Vec3& eye, float pitch, float yaw) {
        camera.position = eye;
        camera.pitch = pitch;
        camera.yaw = yaw;
        lights = {&overhead};
        waters.clear();
        player.position = Vec3(0, -500, 0);
    }

    void drawFrame(std::vector<Entity*> entities) {
        renderer->drawScene(player, *terrain, std::move(entities), waters, lights, camera, 1.0f / 60.0f);
    }

    std::unique_ptr<SceneRenderer> renderer;
    const GLuint entityProgram = programs().entity.programId, terrainProgram = programs().terrain.programId;
    Material material{0};
    Model model{nullptr, &material};
    Player player{nullptr, &model, Vec3(250, 0, 250), 0, 0, 0, 1};
    std::unique_ptr<Terrain> terrain;
    TerrainTexture ground;
    TerrainTextures grounds;
    Camera camera;
    WaterTile water{210, 210, -21};
    std::vector<WaterTile*> waters{&water};
    std::vector<Light*> lights;
    Light overhead{Vec3(250, 100000, 250), Vec3(1, 1, 1), Vec3(1, 0, 0)};
    Light sun{Vec3(-150, 10000, 7900), Vec3(1, 1, 1), Vec3(1, 0, 0)};
    Light lamp{Vec3(291, 10, 273), Vec3(1, 0.345f, 0.25f), Vec3(1, 0.02f, 0)};
    std::vector<PassRecord> passes;
};

}

// The mirrored eye shows in the reference frames' water pictures; the clip switch does
// not, as llvmpipe clips by any distance a shader writes.
TEST_F(SceneRendering, EachPassDrawsTheWholeSceneGroupedByModelIntoItsTargetWithItsClipPlane) {
    Model twinA(model.mesh, &material), twinB(model.mesh, &material); // same content, distinct objects
    Entity a1(&model, Vec3(0), 0, 0, 0, 1, 0), a2(&model, Vec3(1), 0, 0, 0, 1, 0), a3(&model, Vec3(2), 0, 0, 0, 1, 0);
    Entity b(&twinA, Vec3(3), 0, 0, 0, 1, 0), c(&twinB, Vec3(4), 0, 0, 0, 1, 0);
    WaterTile higher(0, 0, 5); // only the first tile sets the plane
    waters.push_back(&higher);
    lights = {&lamp, &lamp, &lamp, &sun, &lamp}; // the fifth has no slot

    drawFrame({&a2, &b, &a1, &c, &a3});

    ASSERT_EQ(passes.size(), 3u);
    const WaterTargets& targets = renderer->getWaterTargets();
    const GLint reflection = GLint(targets.reflectionFrameBuffer), refraction = GLint(targets.refractionFrameBuffer);
    const PassState expected[3] = {
        {ScenePass::REFLECTION, {0, 1, 0, 21}, {0, 1, 0, 21}, true, reflection, {0, 0, 320, 180}},
        {ScenePass::REFRACTION, {0, -1, 0, -21}, {0, -1, 0, -21}, true, refraction, {0, 0, 1280, 720}},
        {ScenePass::MAIN, {0, -1, 0, 10000}, {0, -1, 0, 10000}, false, 0, WINDOW_VIEWPORT}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(passes[i].state, expected[i]) << i;
        // Groups left over from an earlier pass would double these.
        EXPECT_EQ(passes[i].groups, (Groups{{&model, {&a2, &a1, &a3}}, {&twinA, {&b}}, {&twinB, {&c}}})) << i;
        EXPECT_EQ(passes[i].terrains, std::vector<Terrain*>{terrain.get()}) << i;
    }
    expectUniform(entityProgram, "lightPosition[3]", {-150, 10000, 7900});
    expectUniform(terrainProgram, "lightPosition[3]", {-150, 10000, 7900});
}

TEST_F(SceneRendering, TheFrameEndsInTheStateTheNextExpects) {
    material.hasTransparency = true; // turns culling off while the entities are drawn
    Entity a(&model, Vec3(0), 0, 0, 0, 1, 0);
    drawFrame({&a});
    renderer->drawGui({});
    EXPECT_EQ(viewport(), WINDOW_VIEWPORT);
    // Window bound, no clipping, depth test and back-face culling on, no program or vertex array bound.
    EXPECT_EQ((std::vector<GLint>{integerState(GL_FRAMEBUFFER_BINDING), glIsEnabled(GL_CLIP_DISTANCE0),
                                  glIsEnabled(GL_DEPTH_TEST), glIsEnabled(GL_CULL_FACE),
                                  integerState(GL_CULL_FACE_MODE), integerState(GL_CURRENT_PROGRAM),
                                  integerState(GL_VERTEX_ARRAY_BINDING)}),
              (std::vector<GLint>{0, GL_FALSE, GL_TRUE, GL_TRUE, GL_BACK, 0, 0}));
    std::array<float, 4> clearColour{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour.data());
    EXPECT_EQ(clearColour, (std::array<float, 4>{SKY_COLOUR.r, SKY_COLOUR.g, SKY_COLOUR.b, 1.0f}));
}

// What the pictures cannot show, as the game always has water, one terrain at the
// origin and a light list that never shrinks.
TEST_F(SceneRendering, WithoutWaterOnlyTheMainPassIsDrawn) {
    waters.clear();
    drawFrame({});
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(std::get<0>(passes[0].state), ScenePass::MAIN);
}

TEST_F(SceneRendering, TheGroupsKeepNothingOfTheLastFrame) {
    Model twin(model.mesh, &material);
    Entity a1(&model, Vec3(0), 0, 0, 0, 1, 0), a2(&model, Vec3(1), 0, 0, 0, 1, 0), c(&twin, Vec3(4), 0, 0, 0, 1, 0);
    drawFrame({&a2, &c, &a1});
    passes.clear();
    drawFrame({&c, &a1});
    // The groups reuse the last frame's storage, but none of its entities or its order.
    EXPECT_EQ(passes.back().groups, (Groups{{&twin, {&c}}, {&model, {&a1}}}));
}

TEST_F(SceneRendering, TheTerrainStandsAtItsCorner) {
    terrain->x = 500;
    terrain->z = -500;
    drawFrame({});
    expectUniform(terrainProgram, "transformationMatrix", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 500, 0, -500, 1});
}

TEST_F(SceneRendering, LightSlotsPastTheListAreDarkEvenAfterALongerList) {
    lights = {&lamp, &lamp, &lamp, &sun};
    drawFrame({});
    lights = {&sun, &lamp, &lamp};
    drawFrame({});
    for (const GLuint program : {entityProgram, terrainProgram}) {
        expectUniform(program, "lightPosition[3]", {0, 0, 0});
        expectUniform(program, "lightColour[3]", {0, 0, 0});
        expectUniform(program, "attenuation[3]", {1, 0, 0});
    }
}

TEST_F(SceneRendering, EachGroundTextureLiesWhereItsBlendChannelSaysRepeatedOftenAndDimmedByTheLightMap) {
    // Blend map quarters, u along x and v along z from the corner at the origin:
    // red, green (x past 250) / blue (z past 250), none (both past 250).
    TerrainTexture blend{texture(2, 2, {rgba(255, 0, 0), rgba(0, 255, 0), rgba(0, 0, 255), rgba(0, 0, 0)})};
    const std::uint32_t checkerA = rgba(250, 120, 40), checkerB = rgba(40, 120, 250);
    TerrainTexture background{texture(2, 2, {checkerA, checkerB, checkerB, checkerA})};
    TerrainTexture red{texture(rgba(40, 250, 120))}, green{texture(rgba(120, 40, 250))};
    TerrainTexture blue{texture(rgba(250, 250, 40))};
    TerrainTexture light{texture(rgba(204, 204, 204))}; // 0.8 everywhere
    TerrainTextures pack{&background, &red, &green, &blue};
    terrain->textures = &pack;
    terrain->blendMap = &blend;
    terrain->lightMap = &light;
    lookFrom(Vec3(250, 50, 250), 90, 0); // close enough that the fog takes under 1 %

    drawFrame({});

    // Each texture's colour times the light map's 0.8.
    const struct { float x, z; Pixel colour; } quarters[] = {
        {235, 238, {32, 200, 96}}, {265, 238, {96, 32, 200}}, {235, 262, {200, 200, 32}}};
    for (const auto& q : quarters) {
        const glm::ivec2 at = pixelOf(Vec3(q.x, 0, q.z));
        EXPECT_PRED3(isNear, readWindowPixel(at.x, at.y), q.colour, 3) << q.x << ", " << q.z;
    }

    // Where no channel is set, the background, which repeats every few units: along
    // 30 units of it the checker changes colour several times, where a texture
    // stretched once over the terrain like the maps would not change at all.
    const Pixel dimA{200, 96, 32}, dimB{32, 96, 200};
    const glm::ivec2 from = pixelOf(Vec3(252, 0, 262)), to = pixelOf(Vec3(282, 0, 262));
    int changes = 0;
    Pixel last = readWindowPixel(from.x, from.y);
    for (int x = from.x; x <= to.x; ++x) {
        const Pixel p = readWindowPixel(x, from.y);
        ASSERT_TRUE(isNear(p, dimA, 3) || isNear(p, dimB, 3)) << x << ": " << p;
        changes += isNear(p, last, 3) ? 0 : 1;
        last = p;
    }
    EXPECT_GE(changes, 4);
}

TEST_F(SceneRendering, DistantGroundAndModelsFadeIntoTheSkyColour) {
    ground.textureName = texture(rgba(255, 0, 0)); // red ground through a red blend map, full light map
    lookFrom(Vec3(0, 40, 0), 5, 135); // low over one corner, looking along the diagonal
    // A white square 650 units out, above the ground, turned to face the camera.
    Entity far(&model, Vec3(460, 60, 460), 0, 225, 0, 10, 0);

    drawFrame({&far});

    const float skyDepth = windowDepth({512, 5});
    const glm::ivec2 nearGround = pixelOf(Vec3(71, 0, 71)); // 100 units out; the far ground 650
    const Pixel near = readWindowPixel(nearGround.x, nearGround.y);
    EXPECT_TRUE(near.r > 200 && near.g < 40) << "close by, the ground keeps its colour: " << near;
    for (const Vec3& distant : {Vec3(460, 0, 460), far.position}) {
        const glm::ivec2 at = pixelOf(distant);
        EXPECT_PRED3(isNear, readWindowPixel(at.x, at.y), toPixel(SKY_COLOUR), 1);
        EXPECT_LT(windowDepth(at), skyDepth) << "something stands in front of the sky there";
    }
}
