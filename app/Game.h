#pragma once
// The game: owns the window, input, camera, the six shader programs, the debug
// switches and every scene object. run() builds the scene, loops over frames and
// shuts down; the three steps are public so tests can drive frames one by one.

#include "app/Display.h"
#include "app/FrameRateMeter.h"
#include "assets/Material.h"
#include "assets/Model.h"
#include "assets/Terrain.h"
#include "render/Entity.h"
#include "render/EntityShader.h"
#include "render/GuiElement.h"
#include "render/GuiShader.h"
#include "render/Light.h"
#include "render/SkyboxShader.h"
#include "render/TerrainShader.h"
#include "render/TextRenderer.h"
#include "render/WaterShader.h"
#include "render/WaterTile.h"
#include "world/Camera.h"
#include "world/InputState.h"
#include "world/Player.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ModelLoader;
class SceneRenderer;
class TerrainPicker;

class Game {
public:
    static constexpr int ENTITY_FACE = 0;
    static constexpr int ENTITY_MARKER = 16;
    static constexpr float HIDDEN = -100.0f; // the marker's position when there is nothing to show

    Display display;
    InputState input;
    Camera camera;
    int quit = 0;
    std::optional<EntityShader> entityShader;
    std::optional<TerrainShader> terrainShader;
    std::optional<SkyboxShader> skyboxShader;
    std::optional<WaterShader> waterShader;
    std::optional<GuiShader> guiShader;
    std::optional<GuiShader> textShader; // the GUI program with a vertex stage for glyph quads
    bool wireframe = false;
    bool blending = false;
    bool printFps = false;
    bool mipmapQuality = false;
    bool samplingQuality = false;
    bool lampChecked = false;
    bool walking = false;
    bool messageShown = false;
    Vec3 startPosition{0.0f};
    std::deque<Vec3> path;
    Terrain* terrain = nullptr;
    Player* player = nullptr;
    Player* cameraAnchor = nullptr;
    std::vector<Entity*> entities;
    std::vector<Light*> lights;
    std::vector<GuiElement*> guis;
    std::vector<WaterTile*> waterTiles;
    std::vector<unsigned int> switchTextures;
    // The owner's last line, shown in the window while speechSecondsLeft > 0.
    std::string speechLine;
    float speechSecondsLeft = 0.0f;

    Game();
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    void startUp();      // openWindow, then buildShaders
    void openWindow();   // SDL, the window and context, the camera's start values
    void buildShaders(); // the six programs and the switch defaults
    void run();
    void setUpScene();
    void loop(); // frames until quit is set at the end of one
    void runFrame();
    void shutDown();

    void handleEvents();
    void showHelp();
    void switchPrintFps();
    void switchWireframe();
    void switchSamplingQuality();
    void switchMipmapQuality();
    void switchCulling();
    void switchBlending();
    void switchFullscreen();
    void applyTextureFilters();

    void walkPath();
    void processPlayerInput(TerrainPicker& pointPicker);
    void checkQuest();
    void say(const std::string& line); // shows the speech panel for six seconds
    bool isSpeechShown() const;

    void createTerrain(ModelLoader& assetLoader, const std::string& background, const std::string& r,
                       const std::string& g, const std::string& b, const std::string& blendMap,
                       const std::string& lightMap, const std::string& heightMap);
    void createPlayer(ModelLoader& assetLoader, const std::string& objFile, const std::string& textureFile,
                      const Vec3& position);
    void addEntity(ModelLoader& assetLoader, const std::string& objFile, const std::string& textureFile, float x,
                   float y, float z, float rotX, float rotY, float rotZ, float scale, float shineDamper,
                   float reflectivity, bool hasTransparency, int numberOfRows, int textureIndex);
    void addLight(const Vec3& position, const Vec3& colour, const Vec3& attenuation);
    void addGui(ModelLoader& assetLoader, const std::string& textureFile, const Vec2& position, const Vec2& scale);
    void addWaterTile(float x, float z, float height);
    // The speech panel's parchment and its lettering; without a readable atlas, no panel.
    void addSpeechPanel(ModelLoader& loader, const std::string& panelFile, const std::string& atlasFile);

    // The run's locals, kept here so frames can be driven one at a time.
    ModelLoader* modelLoader() const { return loader.get(); }
    SceneRenderer* sceneRenderer() const { return renderer.get(); }
    TerrainPicker* terrainPicker() const { return picker.get(); }
    TextRenderer* speechText() const { return speechRenderer.get(); }
    float headSwing = 1.0f;
    FrameRateMeter frameRate;

private:
    void buildEntities(ModelLoader& assetLoader);
    void addCottage(ModelLoader& assetLoader);
    void collectSwitchTextures();
    void moveMarker(const Vec3& position);
    void drawGui();
    float ground(float x, float z) const { return terrain->heightAt(x, z); }

    std::unique_ptr<ModelLoader> loader;
    std::unique_ptr<SceneRenderer> renderer;
    std::unique_ptr<TerrainPicker> picker;
    std::unique_ptr<TextRenderer> speechRenderer;
    std::optional<GuiElement> speechPanel;

    // Storage behind the scene's pointers; deques keep addresses stable as they grow.
    std::deque<Material> materials;
    std::deque<Model> models;
    std::deque<Entity> entityStore;
    std::deque<Light> lightStore;
    std::deque<GuiElement> guiStore;
    std::deque<WaterTile> waterStore;
    std::deque<Player> players;
    std::deque<TerrainTexture> terrainTextures;
    std::deque<TerrainTextures> terrainTexturePacks;
    std::unique_ptr<Terrain> terrainStore;
};
