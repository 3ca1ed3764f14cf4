#include "RenderTestSupport.h"

#include "render/Entity.h"
#include "render/Light.h"
#include "render/SceneRenderer.h"
#include "render/WaterTile.h"
#include "world/Camera.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <map>

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

GLint integerState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

class SceneRendering : public testing::Test {
protected:
    void SetUp() override {
        Programs& p = programs();
        entityProgram = p.entity.programId;
        terrainProgram = p.terrain.programId;
        skyProgram = p.skybox.programId;
        renderer = std::make_unique<SceneRenderer>(loader, p.entity, p.terrain, p.skybox, p.gui, p.water, 1024, 768);
        flat = std::make_unique<FlatTerrain>(loader);
        white = makeSolidTexture(rgba(255, 255, 255));
        square = makeSquare(loader);
        camera.position = Vec3(188, 35, 377);
        camera.pitch = 45;
        camera.yaw = 30;
        renderer->setPassObserver([this](ScenePass pass) { record(pass); });
    }

    void TearDown() override {
        renderer->cleanUp();
        loader.cleanUp();
        glDeleteTextures(1, &white);
    }

    void record(ScenePass pass) {
        PassRecord r{pass, renderer->getBatches(), renderer->getTerrains(), camera.position, camera.pitch,
                     camera.yaw, readUniform<4>(entityProgram, "clipPlane"), readUniform<4>(terrainProgram, "clipPlane"),
                     glIsEnabled(GL_CLIP_DISTANCE0) == GL_TRUE, integerState(GL_FRAMEBUFFER_BINDING), {}};
        glGetIntegerv(GL_VIEWPORT, r.viewport.data());
        passes.push_back(r);
    }

    void drawFrame(std::vector<Entity*> entities, Player& player) {
        renderer->drawScene(player, *flat->terrain, std::move(entities), waters, lights, camera, 1.0f / 60.0f);
    }

    ModelLoader loader;
    std::unique_ptr<SceneRenderer> renderer;
    std::unique_ptr<FlatTerrain> flat;
    GLuint entityProgram = 0, terrainProgram = 0, skyProgram = 0;
    GLuint white = 0;
    Mesh* square = nullptr;
    Camera camera;
    WaterTile water{210, 210, -21};
    std::vector<WaterTile*> waters{&water};
    std::vector<Light*> lights;
    std::vector<PassRecord> passes;
};

}

TEST_F(SceneRendering, EntitiesAreGroupedByModelIdentityInListOrderForEveryPass) {
    Material material(white);
    Model shared(square, &material);
    Model twinA(square, &material), twinB(square, &material); // same content, distinct objects
    Entity a1(&shared, Vec3(0), 0, 0, 0, 1, 0), a2(&shared, Vec3(1), 0, 0, 0, 1, 0), a3(&shared, Vec3(2), 0, 0, 0, 1, 0);
    Entity b(&twinA, Vec3(3), 0, 0, 0, 1, 0), c(&twinB, Vec3(4), 0, 0, 0, 1, 0);
    Player player(nullptr, &shared, Vec3(250, 0, 250), 0, 0, 0, 1);

    drawFrame({&a2, &b, &a1, &c, &a3}, player);

    ASSERT_EQ(passes.size(), 3u);
    const ScenePass order[3] = {ScenePass::REFLECTION, ScenePass::REFRACTION, ScenePass::MAIN};
    for (size_t i = 0; i < passes.size(); ++i) {
        const PassRecord& r = passes[i];
        EXPECT_EQ(r.pass, order[i]);
        ASSERT_EQ(r.batches.size(), 3u);
        EXPECT_EQ(r.batches.at(&shared), (std::vector<Entity*>{&a2, &a1, &a3}));
        EXPECT_EQ(r.batches.at(&twinA), std::vector<Entity*>{&b});
        EXPECT_EQ(r.batches.at(&twinB), std::vector<Entity*>{&c});
        EXPECT_EQ(r.terrains, std::vector<Terrain*>{flat->terrain.get()});
    }
    EXPECT_TRUE(renderer->getBatches().empty());
    EXPECT_TRUE(renderer->getTerrains().empty());

    passes.clear();
    drawFrame({&b}, player);
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[0].batches.size(), 1u) << "entities of the last frame are not drawn again";
}

TEST_F(SceneRendering, ReflectionMirrorsTheCameraAndEachPassClipsAtTheWaterIntoItsTarget) {
    Material material(white);
    Model model(square, &material);
    Player player(nullptr, &model, Vec3(250, 0, 250), 0, 0, 0, 1);
    WaterTile higher(0, 0, 5); // only the first tile sets the plane
    waters.push_back(&higher);

    drawFrame({}, player);

    ASSERT_EQ(passes.size(), 3u);
    // Camera 35 above a plane at -21 is mirrored to 77 below it.
    EXPECT_EQ(passes[0].cameraPosition, Vec3(188, -77, 377));
    EXPECT_EQ(passes[0].cameraPitch, -45);
    EXPECT_EQ(passes[0].cameraYaw, 30);
    const std::array<float, 4> planes[3] = {{0, 1, 0, 21}, {0, -1, 0, -21}, {0, -1, 0, 10000}};
    const bool clipping[3] = {true, true, false};
    const WaterTargets& targets = renderer->getWaterTargets();
    const GLint frameBuffers[3] = {GLint(targets.reflectionFrameBuffer), GLint(targets.refractionFrameBuffer), 0};
    const std::array<GLint, 4> viewports[3] = {{0, 0, 320, 180}, {0, 0, 1280, 720}, {0, 0, 1024, 768}};
    for (size_t i = 0; i < 3; ++i) {
        if (i > 0) {
            EXPECT_EQ(passes[i].cameraPosition, Vec3(188, 35, 377)) << "pass " << i;
            EXPECT_EQ(passes[i].cameraPitch, 45) << "pass " << i;
        }
        EXPECT_EQ(passes[i].entityClipPlane, planes[i]) << "pass " << i;
        EXPECT_EQ(passes[i].terrainClipPlane, planes[i]) << "pass " << i;
        EXPECT_EQ(passes[i].clipping, clipping[i]) << "pass " << i;
        EXPECT_EQ(passes[i].frameBuffer, frameBuffers[i]) << "pass " << i;
        EXPECT_EQ(passes[i].viewport, viewports[i]) << "pass " << i;
    }
    EXPECT_EQ(camera.position, Vec3(188, 35, 377));
    EXPECT_EQ(camera.pitch, 45);
}

TEST_F(SceneRendering, FrameEndsInTheStateTheNextFrameExpects) {
    Material material(white);
    material.hasTransparency = true;
    Model model(square, &material);
    Entity entity(&model, Vec3(200, 10, 300), 0, 0, 0, 5, 0);
    Player player(nullptr, &model, Vec3(250, 0, 250), 0, 0, 0, 1);
    glClearColor(1, 0, 1, 1);
    takeGlError();

    drawFrame({&entity}, player);
    renderer->drawGui({});

    EXPECT_EQ(takeGlError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), 0);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 1024, 768}));
    EXPECT_FALSE(glIsEnabled(GL_CLIP_DISTANCE0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integerState(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
    std::array<float, 4> clearColour{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour.data());
    EXPECT_EQ(clearColour, (std::array<float, 4>{0.5444f, 0.62f, 0.69f, 1.0f}));
}

TEST_F(SceneRendering, SkyTurnsWithTheCameraButNeverMoves) {
    Material material(white);
    Model model(square, &material);
    Player player(nullptr, &model, Vec3(250, 0, 250), 0, 0, 0, 1);
    camera.position = Vec3(10, 20, 30);
    camera.pitch = 0;
    camera.yaw = 90;
    drawFrame({}, player);

    // A quarter turn about y: x goes to -z and z to x.
    const Mat4 sky = readMatrix(skyProgram, "viewMatrix");
    const Mat4 scene = readMatrix(entityProgram, "viewMatrix");
    const Vec4 expectedColumns[4] = {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(sky[c][r], expectedColumns[c][r], UNIFORM_TOLERANCE) << c << "," << r;
        }
    }
    const Vec4 sceneTranslation(-30, -20, 10, 1);
    for (int r = 0; r < 4; ++r) {
        EXPECT_NEAR(scene[3][r], sceneTranslation[r], 1e-4f) << r;
    }
}

TEST_F(SceneRendering, TerrainIsOnlyTranslatedMatteAndLitBySlotsLikeEntities) {
    Material shiny(white);
    shiny.shineDamper = 10;
    shiny.reflectivity = 0.5f;
    Model model(square, &shiny);
    Player player(nullptr, &model, Vec3(250, 0, 250), 0, 0, 0, 1);
    Light sun(Vec3(-150, 10000, 7900), Vec3(1, 1, 1), Vec3(1, 0, 0));
    Light lamp(Vec3(291, 10, 273), Vec3(1, 0.345f, 0.25f), Vec3(1, 0.02f, 0));
    lights = {&sun, &lamp, &lamp};
    flat->terrain->x = 500;
    flat->terrain->z = -500;

    drawFrame({}, player);

    const Mat4 placed = readMatrix(terrainProgram, "transformationMatrix");
    const Mat4 expected(Vec4(1, 0, 0, 0), Vec4(0, 1, 0, 0), Vec4(0, 0, 1, 0), Vec4(500, 0, -500, 1));
    EXPECT_EQ(placed, expected);
    expectUniform(terrainProgram, "shineDamper", {1});
    expectUniform(terrainProgram, "reflectivity", {0});
    expectUniform(entityProgram, "shineDamper", {10});
    expectUniform(terrainProgram, "skyColour", {0.5444f, 0.62f, 0.69f});
    for (const GLuint program : {entityProgram, terrainProgram}) {
        expectUniform(program, "lightPosition[0]", {-150, 10000, 7900});
        expectUniform(program, "attenuation[2]", {1, 0.02f, 0});
        expectUniform(program, "lightColour[3]", {0, 0, 0});
        expectUniform(program, "attenuation[3]", {1, 0, 0});
    }
}

TEST_F(SceneRendering, ClipPlanesKeepOnlyTheirSideOfTheWaterInTheTwoPictures) {
    const GLuint red = makeSolidTexture(rgba(255, 0, 0));
    Material material(red);
    Model model(square, &material);
    // A wall through the water plane at eye height, facing the camera.
    Entity wall(&model, Vec3(0, -21, 0), 0, 0, 0, 40, 0);
    Player player(nullptr, &model, Vec3(0, 0, 1000), 0, 0, 0, 1);
    Light lamp(Vec3(0, -21, 60), Vec3(1, 1, 1), Vec3(1, 0, 0));
    lights = {&lamp};
    flat->terrain->x = 2000;
    camera.position = Vec3(0, -21, 60);
    camera.pitch = 0;
    camera.yaw = 0;

    drawFrame({&wall}, player);

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
    glDeleteTextures(1, &red);
}

TEST_F(SceneRendering, SkyBelowTheHorizonIsTheFogColour) {
    // Nothing but sky in view, looking down: below the horizon the sky is all fog, the
    // colour the scene is cleared to as well.
    Material material(white);
    Model model(square, &material);
    Player player(nullptr, &model, Vec3(0, 0, -5000), 0, 0, 0, 1);
    flat->terrain->x = 5000;
    camera.position = Vec3(0, 50, 0);
    camera.pitch = 45;
    glClearColor(1, 0, 1, 1); // only the first pass clears with this

    drawFrame({}, player);

    const Pixel fog{139, 158, 176}; // SKY_COLOUR in 8 bits
    for (const Pixel p : {readWindowPixel(100, 700), readWindowPixel(900, 100)}) {
        EXPECT_NEAR(p.r, fog.r, 1);
        EXPECT_NEAR(p.g, fog.g, 1);
        EXPECT_NEAR(p.b, fog.b, 1);
    }
}

TEST_F(SceneRendering, WithoutWaterOnlyTheMainPassIsDrawn) {
    Material material(white);
    Model model(square, &material);
    Player player(nullptr, &model, Vec3(250, 0, 250), 0, 0, 0, 1);
    waters.clear();
    takeGlError();

    drawFrame({}, player);

    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].pass, ScenePass::MAIN);
    EXPECT_EQ(passes[0].frameBuffer, 0);
    EXPECT_EQ(takeGlError(), GLenum(GL_NO_ERROR));
}
