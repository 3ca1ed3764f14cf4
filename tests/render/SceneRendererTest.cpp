#include "RenderTestSupport.h"

#include "assets/Terrain.h"
#include "render/Entity.h"
#include "render/Light.h"
#include "render/SceneRenderer.h"
#include "render/WaterTile.h"
#include "world/Camera.h"
#include "world/Player.h"

#include <memory>
#include <stdexcept>

namespace {

struct PassRecord {
    ScenePass pass;
    EntityBatches batches;
    std::vector<Terrain*> terrains;
    Vec3 cameraPosition;
    float cameraPitch, cameraYaw;
    std::array<float, 4> entityClipPlane, terrainClipPlane;
    bool clipping;
    GLint frameBuffer;
    std::array<GLint, 4> viewport;
};

// A frame of one flat white terrain tile, one water tile and a player, with every pass
// recorded as the renderer ends it.
class SceneRendering : public RenderTest {
protected:
    void SetUp() override {
        Programs& p = programs();
        renderer = std::make_unique<SceneRenderer>(loader, p.entity, p.terrain, p.skybox, p.gui, p.water, 1024, 768);
        material.textureName = ground.textureName = texture(rgba(255, 255, 255));
        model.mesh = square();
        terrain = std::make_unique<Terrain>(Terrain::buildGeometry(std::vector<unsigned char>(9, 128).data(), 3));
        terrain->mesh = loader.uploadMesh(terrain->positions, terrain->textureCoords, terrain->normals,
                                          terrain->indices);
        grounds = {&ground, &ground, &ground, &ground};
        terrain->textures = &grounds;
        terrain->blendMap = terrain->lightMap = &ground;
        camera.position = Vec3(188, 35, 377);
        camera.pitch = 45;
        camera.yaw = 30;
        renderer->setPassObserver([this](ScenePass pass) { record(pass); });
    }

    void TearDown() override {
        renderer->cleanUp();
        RenderTest::TearDown();
    }

    void record(ScenePass pass) {
        passes.push_back({pass, renderer->getBatches(), renderer->getTerrains(), camera.position, camera.pitch,
                          camera.yaw, readUniform<4>(entityProgram, "clipPlane"),
                          readUniform<4>(terrainProgram, "clipPlane"), glIsEnabled(GL_CLIP_DISTANCE0) == GL_TRUE,
                          integerState(GL_FRAMEBUFFER_BINDING), viewport()});
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
    std::vector<PassRecord> passes;
};

}

TEST_F(SceneRendering, EachPassMirrorsClipsTargetsAndGroupsEntitiesByModelAndWithoutWaterOnlyTheMainPassRuns) {
    Model twinA(model.mesh, &material), twinB(model.mesh, &material); // same content, distinct objects
    Entity a1(&model, Vec3(0), 0, 0, 0, 1, 0), a2(&model, Vec3(1), 0, 0, 0, 1, 0), a3(&model, Vec3(2), 0, 0, 0, 1, 0);
    Entity b(&twinA, Vec3(3), 0, 0, 0, 1, 0), c(&twinB, Vec3(4), 0, 0, 0, 1, 0);
    WaterTile higher(0, 0, 5); // only the first tile sets the plane
    waters.push_back(&higher);

    drawFrame({&a2, &b, &a1, &c, &a3});

    ASSERT_EQ(passes.size(), 3u);
    const ScenePass order[3] = {ScenePass::REFLECTION, ScenePass::REFRACTION, ScenePass::MAIN};
    // Camera 35 above a plane at -21 is mirrored to 77 below it, then restored.
    const Vec3 eyes[3] = {{188, -77, 377}, {188, 35, 377}, {188, 35, 377}};
    const float pitches[3] = {-45, 45, 45};
    const std::array<float, 4> planes[3] = {{0, 1, 0, 21}, {0, -1, 0, -21}, {0, -1, 0, 10000}};
    const bool clipping[3] = {true, true, false};
    const WaterTargets& targets = renderer->getWaterTargets();
    const GLint frameBuffers[3] = {GLint(targets.reflectionFrameBuffer), GLint(targets.refractionFrameBuffer), 0};
    const std::array<GLint, 4> viewports[3] = {{0, 0, 320, 180}, {0, 0, 1280, 720}, {0, 0, 1024, 768}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const PassRecord& r = passes[i];
        EXPECT_EQ(r.pass, order[i]);
        EXPECT_EQ(r.cameraPosition, eyes[i]);
        EXPECT_EQ(r.cameraPitch, pitches[i]);
        EXPECT_EQ(r.cameraYaw, 30);
        EXPECT_EQ(r.entityClipPlane, planes[i]);
        EXPECT_EQ(r.terrainClipPlane, planes[i]);
        EXPECT_EQ(r.clipping, clipping[i]);
        EXPECT_EQ(r.frameBuffer, frameBuffers[i]);
        EXPECT_EQ(r.viewport, viewports[i]);
        // Groups left over from an earlier pass would double these.
        ASSERT_EQ(r.batches.size(), 3u);
        EXPECT_EQ(r.batches.at(&model), (std::vector<Entity*>{&a2, &a1, &a3}));
        EXPECT_EQ(r.batches.at(&twinA), std::vector<Entity*>{&b});
        EXPECT_EQ(r.batches.at(&twinB), std::vector<Entity*>{&c});
        EXPECT_EQ(r.terrains, std::vector<Terrain*>{terrain.get()});
    }

    passes.clear();
    waters.clear();
    drawFrame({&c, &a1});
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].pass, ScenePass::MAIN);
    // The groups reuse the last frame's storage, but none of its entities or its order.
    const EntityBatches& again = passes[0].batches;
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again.begin()->model, &twinB);
    EXPECT_EQ(again.at(&twinB), std::vector<Entity*>{&c});
    EXPECT_EQ(again.at(&model), std::vector<Entity*>{&a1});
    EXPECT_THROW(again.at(&twinA), std::out_of_range);
}

TEST_F(SceneRendering, TerrainIsOnlyTranslatedAndMatteSkyOnlyTurnsAndBothLitProgramsTakeUpToFourLights) {
    Light sun(Vec3(-150, 10000, 7900), Vec3(1, 1, 1), Vec3(1, 0, 0));
    Light lamp(Vec3(291, 10, 273), Vec3(1, 0.345f, 0.25f), Vec3(1, 0.02f, 0));
    lights = {&lamp, &lamp, &lamp, &sun, &lamp}; // the fifth has no slot
    drawFrame({});
    for (const GLuint program : {entityProgram, terrainProgram}) {
        expectUniform(program, "lightPosition[3]", {-150, 10000, 7900});
    }

    lights = {&sun, &lamp, &lamp};
    terrain->x = 500;
    terrain->z = -500;
    camera.position = Vec3(10, 20, 30);
    camera.pitch = 0;
    camera.yaw = 90;
    drawFrame({});

    // A quarter turn about y: x goes to -z and z to x; the sky never moves with the camera.
    const Mat4 sky = readMatrix(programs().skybox.programId, "viewMatrix");
    const Mat4 turn(Vec4(0, 0, -1, 0), Vec4(0, 1, 0, 0), Vec4(1, 0, 0, 0), Vec4(0, 0, 0, 1));
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(glm::distance(sky[c], turn[c]), 0.0f, UNIFORM_TOLERANCE) << "sky column " << c;
    }
    const Vec4 sceneTranslation = readMatrix(entityProgram, "viewMatrix")[3];
    EXPECT_NEAR(glm::distance(sceneTranslation, Vec4(-30, -20, 10, 1)), 0.0f, 1e-4f);

    const Mat4 expected(Vec4(1, 0, 0, 0), Vec4(0, 1, 0, 0), Vec4(0, 0, 1, 0), Vec4(500, 0, -500, 1));
    EXPECT_EQ(readMatrix(terrainProgram, "transformationMatrix"), expected);
    expectUniform(terrainProgram, "shineDamper", {1});
    expectUniform(terrainProgram, "reflectivity", {0});
    expectUniform(terrainProgram, "skyColour", {SKY_COLOUR.r, SKY_COLOUR.g, SKY_COLOUR.b});
    for (const GLuint program : {entityProgram, terrainProgram}) {
        SCOPED_TRACE(program == entityProgram ? "entity program" : "terrain program");
        expectUniform(program, "lightPosition[0]", {-150, 10000, 7900});
        expectUniform(program, "lightColour[1]", {1, 0.345f, 0.25f});
        expectUniform(program, "attenuation[2]", {1, 0.02f, 0});
        // The slot the last frame's fourth light had is emptied.
        expectUniform(program, "lightPosition[3]", {0, 0, 0});
        expectUniform(program, "lightColour[3]", {0, 0, 0});
        expectUniform(program, "attenuation[3]", {1, 0, 0});
    }
}

TEST_F(SceneRendering, ClipPlanesKeepOnlyTheirSideOfTheWaterInTheTwoPictures) {
    material.textureName = texture(rgba(255, 0, 0));
    // A wall through the water plane at eye height, facing the camera.
    Entity wall(&model, Vec3(0, -21, 0), 0, 0, 0, 40, 0);
    player.position = Vec3(0, 0, 1000);
    Light lamp(Vec3(0, -21, 60), Vec3(1, 1, 1), Vec3(1, 0, 0));
    lights = {&lamp};
    terrain->x = 2000;
    camera.position = Vec3(0, -21, 60);
    camera.pitch = 0;
    camera.yaw = 0;

    drawFrame({&wall});

    const auto isWall = [](GLuint frameBuffer, int width, int height, float heightFraction) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
        unsigned char p[4] = {};
        glReadPixels(width / 2, int(float(height) * heightFraction), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return p[0] > 150 && p[1] < 60 && p[2] < 60;
    };
    const WaterTargets& targets = renderer->getWaterTargets();
    EXPECT_TRUE(isWall(targets.reflectionFrameBuffer, 320, 180, 0.75f)) << "above the water, reflection";
    EXPECT_FALSE(isWall(targets.reflectionFrameBuffer, 320, 180, 0.25f)) << "below the water, reflection";
    EXPECT_FALSE(isWall(targets.refractionFrameBuffer, 1280, 720, 0.75f)) << "above the water, refraction";
    EXPECT_TRUE(isWall(targets.refractionFrameBuffer, 1280, 720, 0.25f)) << "below the water, refraction";
}

TEST_F(SceneRendering, SkyBelowTheHorizonIsTheFogColourAndTheFrameEndsInTheStateTheNextExpects) {
    // Nothing but sky in view, looking down: below the horizon the sky is all fog, the
    // colour the scene is cleared to as well. The transparent entity, out of sight far
    // above, turns culling off while it is drawn.
    material.hasTransparency = true;
    Entity entity(&model, Vec3(0, 5000, 0), 0, 0, 0, 5, 0);
    player.position = Vec3(0, 0, -5000);
    terrain->x = 5000;
    camera.position = Vec3(0, 50, 0);
    glClearColor(1, 0, 1, 1); // only the first pass clears with this

    drawFrame({&entity});

    for (const Pixel p : {readWindowPixel(100, 700), readWindowPixel(900, 100)}) {
        EXPECT_NEAR(p.r, SKY_COLOUR.r * 255, 1);
        EXPECT_NEAR(p.g, SKY_COLOUR.g * 255, 1);
        EXPECT_NEAR(p.b, SKY_COLOUR.b * 255, 1);
    }
    renderer->drawGui({});
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768}));
    EXPECT_FALSE(glIsEnabled(GL_CLIP_DISTANCE0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integerState(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
    std::array<float, 4> clearColour{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour.data());
    EXPECT_EQ(clearColour, (std::array<float, 4>{SKY_COLOUR.r, SKY_COLOUR.g, SKY_COLOUR.b, 1.0f}));
}
