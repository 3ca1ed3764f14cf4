#pragma once
// Draws the GUI elements over the finished frame, in list order, without depth
// testing. Owns nothing but a pointer to its quad, which the model loader owns.

#include <vector>

class GuiShader;
class ModelLoader;
struct GuiElement;
struct Mesh;

class GuiRenderer {
public:
    GuiRenderer(GuiShader& shader, ModelLoader& loader);

    // Later elements cover earlier ones; blending follows the game's global switch.
    void render(std::vector<GuiElement*> elements);

    const Mesh* getQuad() const { return quad; }

private:
    Mesh* quad = nullptr;
    GuiShader* shader = nullptr;
};
