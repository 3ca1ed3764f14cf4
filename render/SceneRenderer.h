#pragma once
// Draws a frame: a reflection pass and a refraction pass into the water targets,
// the main pass to the window, then the water; the GUI on its own call. Owns the
// specialised renderers, the projection and the water targets. Before every pass
// the entities are grouped by model; the groups are emptied after the pass.

#include "render/EntityRenderer.h"
#include "render/GuiRenderer.h"
#include "render/SkyboxRenderer.h"
#include "render/TerrainRenderer.h"
#include "render/WaterRenderer.h"
#include "render/WaterTargets.h"
#include "world/Transforms.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class Camera;
class Entity;
class EntityShader;
class GuiShader;
class ModelLoader;
class Player;
class SkyboxShader;
class Terrain;
class TerrainShader;
class TextRenderer;
class WaterShader;
struct GuiElement;
struct Light;
struct WaterTile;

// Clear colour, fog colour of the lit programs and the sky's horizon colour.
constexpr Vec3 SKY_COLOUR{0.5444f, 0.62f, 0.69f};

enum class ScenePass { REFLECTION, REFRACTION, MAIN };

class SceneRenderer {
public:
    SceneRenderer(ModelLoader& loader, EntityShader& entityShader, TerrainShader& terrainShader,
                  SkyboxShader& skyboxShader, GuiShader& guiShader, WaterShader& waterShader, int width, int height);

    // The camera is mirrored below the water for the reflection pass and restored.
    // The first water tile's height is the water plane; frameTime is the last frame's
    // duration in seconds and drives the ripples.
    void drawScene(Player& player, Terrain& terrain, std::vector<Entity*> entities, std::vector<WaterTile*> waters,
                   std::vector<Light*> lights, Camera& camera, float frameTime);
    // text, when given, is drawn over the elements, in the same GUI pass.
    void drawGui(std::vector<GuiElement*> guis, const TextRenderer* text = nullptr);
    Mat4 getProjectionMatrix() const;
    // Deletes the water targets' GL objects; call once after the frame loop.
    void cleanUp();

    const WaterTargets& getWaterTargets() const { return waterTargets; }
    // Called at the end of every pass with what the pass drew, before the groups are
    // emptied: the one seam for tests and tools.
    using PassObserver = std::function<void(ScenePass, const EntityBatches&, const std::vector<Terrain*>&)>;
    void setPassObserver(PassObserver observer) { passObserver = std::move(observer); }

private:
    void drawReflection(Player& player, Terrain& terrain, const std::vector<Entity*>& entities,
                        const std::vector<Light*>& lights, Camera& camera, float waterHeight);
    void drawRefraction(Player& player, Terrain& terrain, const std::vector<Entity*>& entities,
                        const std::vector<Light*>& lights, Camera& camera, float waterHeight);
    void render(const std::vector<Light*>& lights, const Camera& camera, const Vec4& clipPlane, ScenePass pass);
    void collectEntities(Player& player, Terrain& terrain, const std::vector<Entity*>& entities);
    void collectTerrain(Terrain& terrain);
    void prepare();
    void renderEntities(const std::vector<Light*>& lights, const Camera& camera, const Vec4& clipPlane);
    void renderTerrains(const std::vector<Light*>& lights, const Camera& camera, const Vec4& clipPlane);
    void makeProjectionMatrix();

    int width = 0;  // pixels
    int height = 0; // pixels
    Mat4 projection{1.0f};
    WaterTargets waterTargets;
    EntityShader& entityShader;
    TerrainShader& terrainShader;
    std::unique_ptr<EntityRenderer> entityRenderer;
    std::unique_ptr<TerrainRenderer> terrainRenderer;
    std::unique_ptr<SkyboxRenderer> skyboxRenderer;
    std::unique_ptr<GuiRenderer> guiRenderer;
    std::unique_ptr<WaterRenderer> waterRenderer;
    EntityBatches batches;
    std::vector<Terrain*> terrains;
    Player* player = nullptr;
    PassObserver passObserver;
};
