#include "app/Game.h"

#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "render/SceneRenderer.h"
#include "world/SceneLayout.h"
#include "world/TerrainPicker.h"

namespace {

const std::string RESOURCES = "Resources/";

// The look of each kind of scenery model; where each one stands is in the layout.
struct Scenery {
    const char* objFile;
    const char* textureFile;
    float scale;
    bool hasTransparency;
    int numberOfRows;
};

constexpr Scenery TREE = {"tree.obj", "tree.png", 5, false, 1};
constexpr Scenery LAMP = {"lamp.obj", "lamp.png", 0.75f, false, 1};
constexpr Scenery FERN = {"fern.obj", "fern.png", 0.5f, true, 2};
constexpr int FERN_VARIANTS = 4; // cells of the fern's texture atlas, used in turn
constexpr float SHINE_DAMPER = 5.0f, REFLECTIVITY = 0.1f;

Vec3 toVec3(const layout::Triple& t) {
    return Vec3(t.x, t.y, t.z);
}

}

void Game::setUpScene() {
    // Applied twice: off and on again, so the start state is set through the switch.
    switchBlending();
    switchBlending();
    lampChecked = false;
    loader = std::make_unique<ModelLoader>();
    renderer = std::make_unique<SceneRenderer>(*loader, *entityShader, *terrainShader, *skyboxShader, *guiShader,
                                               *waterShader, Display::WIDTH, Display::HEIGHT);
    createTerrain(*loader, RESOURCES + "grassy2.png", RESOURCES + "mud.png", RESOURCES + "grassFlowers.png",
                  RESOURCES + "path.png", RESOURCES + "blendMapAlt.png", RESOURCES + "terrainLightMap.png",
                  RESOURCES + "heightmap3.png");
    startPosition = Vec3(layout::PLAYER_START.x, ground(layout::PLAYER_START.x, layout::PLAYER_START.z),
                         layout::PLAYER_START.z);
    createPlayer(*loader, RESOURCES + "pc.obj", RESOURCES + "pcTexture1.png", startPosition);
    buildEntities(*loader);

    addLight(toVec3(layout::SUN_POSITION), toVec3(layout::SUN_COLOUR), toVec3(layout::SUN_ATTENUATION));
    for (const layout::GroundSpot& lamp : layout::LAMPS) {
        addLight(Vec3(lamp.x, ground(lamp.x, lamp.z) + layout::LAMP_LIGHT_HEIGHT, lamp.z), toVec3(layout::LAMP_COLOUR),
                 toVec3(layout::LAMP_ATTENUATION));
    }

    addGui(*loader, RESOURCES + "guiQuest.png", Vec2(0.5f, 0.5f), Vec2(0.25f, 0.25f));
    addGui(*loader, RESOURCES + "guiReadyButton.png", Vec2(0.3f, -0.8f), Vec2(0.1f, 0.1f));
    addGui(*loader, RESOURCES + "guiResetButton.png", Vec2(-0.3f, -0.8f), Vec2(0.1f, 0.1f));

    addWaterTile(layout::WATER_TILE.x, layout::WATER_TILE.z, layout::WATER_TILE.y);

    Mesh* anchorMesh = loader->loadAssimpModel(RESOURCES + "pc.obj");
    Material& anchorMaterial = materials.emplace_back(loader->loadTexture(RESOURCES + "pcTexture1.png"));
    Model& anchorModel = models.emplace_back(anchorMesh, &anchorMaterial);
    cameraAnchor = &players.emplace_back(&input, &anchorModel, startPosition, 0.0f, 0.0f, 0.0f, 2.0f);

    addEntity(*loader, RESOURCES + "marker.obj", RESOURCES + "white.png", HIDDEN, HIDDEN, HIDDEN, 0, 0, 0, 1,
              SHINE_DAMPER, REFLECTIVITY, true, 1, 0);
    collectSwitchTextures();
    camera.target = cameraAnchor;
    picker = std::make_unique<TerrainPicker>(&input, &camera, renderer->getProjectionMatrix(), terrain, Display::WIDTH,
                                             Display::HEIGHT);
    headSwing = 1.0f;

    frameRate = FrameRateMeter();
    messageShown = false;
    addSpeechPanel(*loader, RESOURCES + "guiSpeech.png", RESOURCES + "guiFont.png");
    speechSecondsLeft = 0.0f;
}

void Game::buildEntities(ModelLoader& assetLoader) {
    addEntity(assetLoader, RESOURCES + "pcFace.obj", RESOURCES + "pcFaceTexture1.png", startPosition.x, startPosition.y,
              startPosition.z, 0, 0, 0, 0.5f, 10, REFLECTIVITY, true, 1, 0);
    addCottage(assetLoader);
    const auto addScenery = [&](const Scenery& kind, const layout::GroundSpot& spot, int textureIndex) {
        addEntity(assetLoader, RESOURCES + kind.objFile, RESOURCES + kind.textureFile, spot.x, ground(spot.x, spot.z),
                  spot.z, 0, 0, 0, kind.scale, SHINE_DAMPER, REFLECTIVITY, kind.hasTransparency, kind.numberOfRows,
                  textureIndex);
    };
    for (const layout::GroundSpot& spot : layout::TREES) {
        addScenery(TREE, spot, 0);
    }
    for (const layout::GroundSpot& spot : layout::LAMPS) {
        addScenery(LAMP, spot, 0);
    }
    int fern = 0;
    for (const layout::GroundSpot& spot : layout::FERNS) {
        addScenery(FERN, spot, fern++ % FERN_VARIANTS);
    }
}

void Game::addCottage(ModelLoader& assetLoader) {
    Mesh* mesh = assetLoader.loadAssimpModel(RESOURCES + "cottage.obj");
    Material& normalMap = materials.emplace_back(assetLoader.loadTexture(RESOURCES + "shack_normals.png"));
    Material& colour = materials.emplace_back(assetLoader.loadTexture(RESOURCES + "shack2.png"));
    colour.shineDamper = 75.0f;
    colour.reflectivity = 1.0f;
    colour.hasTransparency = true;
    colour.useFakeLighting = false;
    colour.numberOfRows = 1;
    Model& model = models.emplace_back(mesh, &colour, &normalMap);
    entities.push_back(&entityStore.emplace_back(&model,
                                                 Vec3(layout::COTTAGE.x, layout::COTTAGE_HEIGHT, layout::COTTAGE.z),
                                                 0.0f, layout::COTTAGE_ROTATION_Y, 0.0f, layout::COTTAGE_SCALE, 0));
}

void Game::collectSwitchTextures() {
    switchTextures.clear();
    switchTextures.push_back(player->model->texture->textureName);
    const TerrainTextures& pack = *terrain->textures;
    for (const TerrainTexture* t :
         {pack.backgroundTexture, pack.rTexture, pack.gTexture, pack.bTexture, terrain->blendMap}) {
        switchTextures.push_back(t->textureName);
    }
    for (const Entity* entity : entities) {
        switchTextures.push_back(entity->model->texture->textureName);
    }
}

void Game::createTerrain(ModelLoader& assetLoader, const std::string& background, const std::string& r,
                         const std::string& g, const std::string& b, const std::string& blendMap,
                         const std::string& lightMap, const std::string& heightMap) {
    const auto load = [&](const std::string& file) {
        return &terrainTextures.emplace_back(TerrainTexture{assetLoader.loadTexture(file)});
    };
    TerrainTexture* backgroundTexture = load(background);
    TerrainTexture* rTexture = load(r);
    TerrainTexture* gTexture = load(g);
    TerrainTexture* bTexture = load(b);
    TerrainTexture* blend = load(blendMap);
    TerrainTexture* light = load(lightMap);
    TerrainTextures* pack = &terrainTexturePacks.emplace_back(
        TerrainTextures{backgroundTexture, rTexture, gTexture, bTexture});
    terrainStore = std::make_unique<Terrain>(assetLoader, pack, blend, light, heightMap);
    terrain = terrainStore.get();
}

void Game::createPlayer(ModelLoader& assetLoader, const std::string& objFile, const std::string& textureFile,
                        const Vec3& position) {
    Material& material = materials.emplace_back(assetLoader.loadTexture(textureFile));
    Mesh* mesh = assetLoader.loadObjModel(objFile);
    Model& model = models.emplace_back(mesh, &material);
    player = &players.emplace_back(&input, &model, position, 0.0f, 0.0f, 0.0f, 0.5f);
}

void Game::addEntity(ModelLoader& assetLoader, const std::string& objFile, const std::string& textureFile, float x,
                     float y, float z, float rotX, float rotY, float rotZ, float scale, float shineDamper,
                     float reflectivity, bool hasTransparency, int numberOfRows, int textureIndex) {
    Material& material = materials.emplace_back(assetLoader.loadTexture(textureFile));
    Mesh* mesh = assetLoader.loadObjModel(objFile);
    Model& model = models.emplace_back(mesh, &material);
    material.shineDamper = shineDamper;
    material.reflectivity = reflectivity;
    material.hasTransparency = hasTransparency;
    material.numberOfRows = numberOfRows;
    material.useFakeLighting = false;
    entities.push_back(&entityStore.emplace_back(&model, Vec3(x, y, z), rotX, rotY, rotZ, scale, textureIndex));
}

void Game::addLight(const Vec3& position, const Vec3& colour, const Vec3& attenuation) {
    lights.push_back(&lightStore.emplace_back(position, colour, attenuation));
}

void Game::addGui(ModelLoader& assetLoader, const std::string& textureFile, const Vec2& position, const Vec2& scale) {
    guis.push_back(&guiStore.emplace_back(assetLoader.loadTexture(textureFile), position, scale));
}

void Game::addWaterTile(float x, float z, float height) {
    waterTiles.push_back(&waterStore.emplace_back(x, z, height));
}
