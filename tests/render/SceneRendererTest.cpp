#include "RenderTestSupport.h"

namespace {

using Groups = std::vector<std::pair<Model*, std::vector<Entity*>>>;

// The groups in their order, to compare whole.
Groups groupsOf(const EntityBatches& batches) {
    Groups groups;
    for (const EntityBatch& batch : batches)
        groups.emplace_back(batch.model, batch.entities);
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
        const std::vector<unsigned char> heights(4, 128); // flat, one square
        terrain = std::make_unique<Terrain>(Terrain::buildGeometry(heights.data(), 2));
        terrain->mesh = loader.uploadMesh(terrain->positions, terrain->textureCoords, terrain->normals,
                                          terrain->indices);
        grounds = {&ground, &ground, &ground, &ground};
        terrain->textures = &grounds;
        terrain->blendMap = terrain->lightMap = &ground;
        camera.position = Vec3(188, 35, 377);
        camera.pitch = 45;
        camera.yaw = 30;
        renderer->setPassObserver(
            [this](ScenePass pass, const EntityBatches& batches, const std::vector<Terrain*>& terrains) {
                const PassState state{pass,
                                      readUniform<4>(entityProgram, "clipPlane"),
                                      readUniform<4>(terrainProgram, "clipPlane"),
                                      glIsEnabled(GL_CLIP_DISTANCE0) == GL_TRUE,
                                      integerState(GL_FRAMEBUFFER_BINDING),
                                      viewport()};
                passes.push_back({state, groupsOf(batches), terrains});
            });
    }

    void TearDown() override {
        renderer->cleanUp();
        RenderTest::TearDown();
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
    EXPECT_EQ(
        (std::vector<GLint>{integerState(GL_FRAMEBUFFER_BINDING), glIsEnabled(GL_CLIP_DISTANCE0),
                            glIsEnabled(GL_DEPTH_TEST), glIsEnabled(GL_CULL_FACE), integerState(GL_CULL_FACE_MODE),
                            integerState(GL_CURRENT_PROGRAM), integerState(GL_VERTEX_ARRAY_BINDING)}),
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
