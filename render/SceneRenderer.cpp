#include "render/SceneRenderer.h"

#include "assets/PhaseTimer.h"
#include "render/Entity.h"
#include "render/EntityShader.h"
#include "render/TerrainShader.h"
#include "render/TextRenderer.h"
#include "render/WaterTile.h"
#include "world/Camera.h"

#include <GL/glew.h>

namespace {
// Clip distances are off in the main pass, but some drivers (Mesa's llvmpipe) clip by
// any distance the shader writes; this plane keeps everything below y = 10000.
const Vec4 MAIN_PASS_CLIP_PLANE{0.0f, -1.0f, 0.0f, 10000.0f};
}

SceneRenderer::SceneRenderer(ModelLoader& loader, EntityShader& givenEntityShader, TerrainShader& givenTerrainShader,
                             SkyboxShader& skyboxShader, GuiShader& guiShader, WaterShader& waterShader, int givenWidth,
                             int givenHeight)
    : width(givenWidth), height(givenHeight), entityShader(givenEntityShader), terrainShader(givenTerrainShader) {
    const PhaseTimer timer(Phase::RENDERER);
    waterTargets.createReflectionTarget();
    waterTargets.createRefractionTarget();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    makeProjectionMatrix();
    entityRenderer = std::make_unique<EntityRenderer>(givenEntityShader, projection);
    terrainRenderer = std::make_unique<TerrainRenderer>(givenTerrainShader, projection);
    skyboxRenderer = std::make_unique<SkyboxRenderer>(skyboxShader, loader, projection);
    guiRenderer = std::make_unique<GuiRenderer>(guiShader, loader);
    waterRenderer = std::make_unique<WaterRenderer>(loader, waterShader, projection, waterTargets);
}

void SceneRenderer::makeProjectionMatrix() {
    projection = Transforms::makeProjectionMatrix(width, height);
}

Mat4 SceneRenderer::getProjectionMatrix() const {
    return projection;
}

void SceneRenderer::cleanUp() {
    waterTargets.cleanUp();
}

void SceneRenderer::drawScene(Player& scenePlayer, Terrain& terrain, std::vector<Entity*> entities,
                              std::vector<WaterTile*> waters, std::vector<Light*> lights, Camera& camera,
                              float frameTime) {
    const PhaseTimer timer(Phase::SCENE_SUBMIT);
    // Without a water tile there is no plane to mirror in; only the main pass is drawn.
    if (!waters.empty()) {
        const float waterHeight = waters.front()->height;
        glEnable(GL_CLIP_DISTANCE0);
        drawReflection(scenePlayer, terrain, entities, lights, camera, waterHeight);
        drawRefraction(scenePlayer, terrain, entities, lights, camera, waterHeight);
        glDisable(GL_CLIP_DISTANCE0);
    }
    waterTargets.unbindTargets();
    collectEntities(scenePlayer, terrain, entities);
    render(lights, camera, MAIN_PASS_CLIP_PLANE, ScenePass::MAIN);
    if (!waters.empty()) {
        waterRenderer->render(std::move(waters), camera, frameTime);
    }
}

void SceneRenderer::drawReflection(Player& scenePlayer, Terrain& terrain, const std::vector<Entity*>& entities,
                                   const std::vector<Light*>& lights, Camera& camera, float waterHeight) {
    waterTargets.bindReflectionTarget();
    // Mirror the eye in the water plane and look up as far as it looked down.
    const Vec3 eye = camera.position;
    const float distance = 2.0f * (camera.position.y - waterHeight);
    camera.position.y -= distance;
    camera.pitch = -camera.pitch;
    collectEntities(scenePlayer, terrain, entities);
    render(lights, camera, Vec4(0.0f, 1.0f, 0.0f, -waterHeight), ScenePass::REFLECTION);
    camera.position = eye;
    camera.pitch = -camera.pitch;
}

void SceneRenderer::drawRefraction(Player& scenePlayer, Terrain& terrain, const std::vector<Entity*>& entities,
                                   const std::vector<Light*>& lights, Camera& camera, float waterHeight) {
    waterTargets.bindRefractionTarget();
    collectEntities(scenePlayer, terrain, entities);
    render(lights, camera, Vec4(0.0f, -1.0f, 0.0f, waterHeight), ScenePass::REFRACTION);
}

void SceneRenderer::drawGui(std::vector<GuiElement*> guis, const TextRenderer* text) {
    const PhaseTimer timer(Phase::GUI_SUBMIT);
    guiRenderer->render(std::move(guis));
    if (text) {
        text->render();
    }
}

void SceneRenderer::collectEntities(Player& scenePlayer, Terrain& terrain, const std::vector<Entity*>& entities) {
    this->player = &scenePlayer;
    collectTerrain(terrain);
    for (Entity* entity : entities) {
        batches.add(entity->model, entity);
    }
}

void SceneRenderer::collectTerrain(Terrain& terrain) {
    terrains.push_back(&terrain);
}

void SceneRenderer::render(const std::vector<Light*>& lights, const Camera& camera, const Vec4& clipPlane,
                           ScenePass pass) {
    prepare();
    renderEntities(lights, camera, clipPlane);
    renderTerrains(lights, camera, clipPlane);
    // Last, so only the pixels no geometry covered run the sky shader.
    skyboxRenderer->render(camera, SKY_COLOUR.r, SKY_COLOUR.g, SKY_COLOUR.b);
    if (passObserver) {
        passObserver(pass, batches, terrains);
    }
    terrains.clear();
    batches.clear();
}

void SceneRenderer::prepare() {
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Set after the clear: each clear uses the colour of the pass before it.
    glClearColor(SKY_COLOUR.r, SKY_COLOUR.g, SKY_COLOUR.b, 1.0f);
}

void SceneRenderer::renderEntities(const std::vector<Light*>& lights, const Camera& camera, const Vec4& clipPlane) {
    entityShader.start();
    entityShader.setClipPlane(clipPlane);
    entityShader.setSkyColour(SKY_COLOUR.r, SKY_COLOUR.g, SKY_COLOUR.b);
    entityShader.setLights(lights);
    entityShader.setViewMatrix(camera);
    entityRenderer->render(batches);
    entityRenderer->renderSingle(*player);
    entityShader.stop();
}

void SceneRenderer::renderTerrains(const std::vector<Light*>& lights, const Camera& camera, const Vec4& clipPlane) {
    terrainShader.start();
    terrainShader.setClipPlane(clipPlane);
    terrainShader.setSkyColour(SKY_COLOUR.r, SKY_COLOUR.g, SKY_COLOUR.b);
    terrainShader.setLights(lights);
    terrainShader.setViewMatrix(camera);
    terrainRenderer->render(terrains);
    terrainShader.stop();
}
