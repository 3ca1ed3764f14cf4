#include "app/Game.h"

#include "assets/Mesh.h"
#include "assets/ModelLoader.h"
#include "render/SceneRenderer.h"
#include "world/TerrainPicker.h"

namespace {

const std::string RESOURCES = "Resources/";

// One OBJ model of the scenery, standing on the ground at (x, z).
struct Placement {
    const char* objFile;
    const char* textureFile;
    float x, z;
    float scale;
    float shineDamper, reflectivity;
    bool hasTransparency;
    int numberOfRows, textureIndex;
};

// Entities 2 to 15, in list order; the face (0) and the cottage (1) come first.
constexpr Placement SCENERY[] = {
    {"tree.obj", "tree.png", 60, 118, 5, 5, 0.1f, false, 1, 0},
    {"tree.obj", "tree.png", 292, 132, 5, 5, 0.1f, false, 1, 0},
    {"tree.obj", "tree.png", 383, 106, 5, 5, 0.1f, false, 1, 0},
    {"tree.obj", "tree.png", 457, 214, 5, 5, 0.1f, false, 1, 0},
    {"tree.obj", "tree.png", 461, 333, 5, 5, 0.1f, false, 1, 0},
    {"tree.obj", "tree.png", 425, 421, 5, 5, 0.1f, false, 1, 0},
    {"tree.obj", "tree.png", 112, 424, 5, 5, 0.1f, false, 1, 0},
    {"lamp.obj", "lamp.png", 291, 273, 0.75f, 5, 0.1f, false, 1, 0},
    {"lamp.obj", "lamp.png", 111, 138, 0.75f, 5, 0.1f, false, 1, 0},
    {"fern.obj", "fern.png", 306, 264, 0.5f, 5, 0.1f, true, 2, 0},
    {"fern.obj", "fern.png", 225, 274, 0.5f, 5, 0.1f, true, 2, 1},
    {"fern.obj", "fern.png", 92, 230, 0.5f, 5, 0.1f, true, 2, 2},
    {"fern.obj", "fern.png", 95, 144, 0.5f, 5, 0.1f, true, 2, 3},
    {"fern.obj", "fern.png", 158, 252, 0.5f, 5, 0.1f, true, 2, 0},
};

constexpr float START_X = 188.0f, START_Z = 377.0f;
constexpr float LAMP_LIGHT_HEIGHT = 10.0f; // above the ground under each lamp
const Vec3 LAMP_COLOUR(1.0f, 0.345f, 0.25f);
const Vec3 LAMP_ATTENUATION(1.0f, 0.02f, 0.0f);

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
    createPlayer(*loader, RESOURCES + "pc.obj", RESOURCES + "pcTexture1.png", START_X, ground(START_X, START_Z),
                 START_Z);
    buildEntities(*loader);

    addLight(Vec3(-150.0f, 10000.0f, 7900.0f), Vec3(1.0f, 1.0f, 1.0f), Vec3(1.0f, 0.0f, 0.0f));
    addLight(Vec3(291.0f, ground(291, 273) + LAMP_LIGHT_HEIGHT, 273.0f), LAMP_COLOUR, LAMP_ATTENUATION);
    addLight(Vec3(111.0f, ground(111, 138) + LAMP_LIGHT_HEIGHT, 138.0f), LAMP_COLOUR, LAMP_ATTENUATION);

    addGui(*loader, RESOURCES + "guiQuest.png", Vec2(0.5f, 0.5f), Vec2(0.25f, 0.25f));
    addGui(*loader, RESOURCES + "guiReadyButton.png", Vec2(0.3f, -0.8f), Vec2(0.1f, 0.1f));
    addGui(*loader, RESOURCES + "guiResetButton.png", Vec2(-0.3f, -0.8f), Vec2(0.1f, 0.1f));

    addWaterTile(210.0f, 210.0f, -21.0f);

    Mesh* anchorMesh = loader->loadAssimpModel(RESOURCES + "pc.obj");
    Material& anchorMaterial = materials.emplace_back(loader->loadTexture(RESOURCES + "pcTexture1.png"));
    Model& anchorModel = models.emplace_back(anchorMesh, &anchorMaterial);
    cameraAnchor = &players.emplace_back(&input, &anchorModel, Vec3(START_X, ground(START_X, START_Z), START_Z),
                                         0.0f, 0.0f, 0.0f, 2.0f);

    addEntity(*loader, RESOURCES + "marker.obj", RESOURCES + "white.png", HIDDEN, HIDDEN, HIDDEN, 0, 0, 0, 1, 5,
              0.1f, true, 1, 0);
    startPosition = Vec3(START_X, ground(START_X, START_Z), START_Z);
    collectSwitchTextures();
    camera.target = cameraAnchor;
    picker = std::make_unique<TerrainPicker>(&input, &camera, renderer->getProjectionMatrix(), terrain,
                                             Display::WIDTH, Display::HEIGHT);
    headSwing = 1.0f;

    frameRate = FrameRateMeter();
    messageShown = false;
}

void Game::buildEntities(ModelLoader& modelLoader) {
    addEntity(modelLoader, RESOURCES + "pcFace.obj", RESOURCES + "pcFaceTexture1.png", START_X,
              ground(START_X, START_Z), START_Z, 0, 0, 0, 0.5f, 10, 0.1f, true, 1, 0);
    addCottage(modelLoader);
    for (const Placement& p : SCENERY) {
        addEntity(modelLoader, RESOURCES + p.objFile, RESOURCES + p.textureFile, p.x, ground(p.x, p.z), p.z, 0, 0, 0, p.scale,
                  p.shineDamper, p.reflectivity, p.hasTransparency, p.numberOfRows, p.textureIndex);
    }
}

void Game::addCottage(ModelLoader& modelLoader) {
    Mesh* mesh = modelLoader.loadAssimpModel(RESOURCES + "cottage.obj");
    Material& normalMap = materials.emplace_back(modelLoader.loadTexture(RESOURCES + "shack_normals.png"));
    Material& colour = materials.emplace_back(modelLoader.loadTexture(RESOURCES + "shack2.png"));
    colour.shineDamper = 75.0f;
    colour.reflectivity = 1.0f;
    colour.hasTransparency = true;
    colour.useFakeLighting = false;
    colour.numberOfRows = 1;
    Model& model = models.emplace_back(mesh, &colour, &normalMap);
    // A fixed height: the model's own floor sits on the ground there.
    entities.push_back(&entityStore.emplace_back(&model, Vec3(255.0f, -34.6f, 252.0f), 0.0f, 0.0f, 0.0f, 43.0f, 0));
}

void Game::collectSwitchTextures() {
    switchTextures.clear();
    switchTextures.push_back(player->model->texture->textureName);
    const TerrainTextures& ground = *terrain->textures;
    for (const TerrainTexture* t : {ground.backgroundTexture, ground.rTexture, ground.gTexture, ground.bTexture,
                                    terrain->blendMap}) {
        switchTextures.push_back(t->textureName);
    }
    for (const Entity* entity : entities) {
        switchTextures.push_back(entity->model->texture->textureName);
    }
}

void Game::createTerrain(ModelLoader& modelLoader, const std::string& background, const std::string& r,
                         const std::string& g, const std::string& b, const std::string& blendMap,
                         const std::string& lightMap, const std::string& heightMap) {
    const auto load = [&](const std::string& path) {
        return &terrainTextures.emplace_back(TerrainTexture{modelLoader.loadTexture(path)});
    };
    TerrainTexture* backgroundTexture = load(background);
    TerrainTexture* rTexture = load(r);
    TerrainTexture* gTexture = load(g);
    TerrainTexture* bTexture = load(b);
    TerrainTexture* blend = load(blendMap);
    TerrainTexture* light = load(lightMap);
    TerrainTextures* pack = &terrainTexturePacks.emplace_back(TerrainTextures{backgroundTexture, rTexture, gTexture,
                                                                              bTexture});
    terrainStore = std::make_unique<Terrain>(modelLoader, pack, blend, light, heightMap);
    terrain = terrainStore.get();
}

void Game::createPlayer(ModelLoader& modelLoader, const std::string& objFile, const std::string& textureFile,
                        float x, float y, float z) {
    Material& material = materials.emplace_back(modelLoader.loadTexture(textureFile));
    Mesh* mesh = modelLoader.loadObjModel(objFile);
    Model& model = models.emplace_back(mesh, &material);
    player = &players.emplace_back(&input, &model, Vec3(x, y, z), 0.0f, 0.0f, 0.0f, 0.5f);
}

void Game::addEntity(ModelLoader& modelLoader, const std::string& objFile, const std::string& textureFile, float x,
                     float y, float z, float rotX, float rotY, float rotZ, float scale, float shineDamper,
                     float reflectivity, bool hasTransparency, int numberOfRows, int textureIndex) {
    Material& material = materials.emplace_back(modelLoader.loadTexture(textureFile));
    Mesh* mesh = modelLoader.loadObjModel(objFile);
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

void Game::addGui(ModelLoader& modelLoader, const std::string& textureFile, const Vec2& position, const Vec2& scale) {
    guis.push_back(&guiStore.emplace_back(modelLoader.loadTexture(textureFile), position, scale));
}

void Game::addWaterTile(float x, float z, float height) {
    waterTiles.push_back(&waterStore.emplace_back(x, z, height));
}
