#pragma once
// The two off-screen pictures the water is made from: a small reflection target
// (depth in a render buffer) and a large refraction target (depth in a texture).
// The only owner of these framebuffers, textures and render buffer; cleanUp deletes them.

class WaterTargets {
public:
    static constexpr int REFLECTION_WIDTH = 320, REFLECTION_HEIGHT = 180;  // pixels
    static constexpr int REFRACTION_WIDTH = 1280, REFRACTION_HEIGHT = 720; // pixels
    static constexpr int DISPLAY_WIDTH = 1024, DISPLAY_HEIGHT = 768;       // viewport restored after use

    unsigned int reflectionFrameBuffer = 0;
    unsigned int reflectionTexture = 0;
    unsigned int reflectionDepthBuffer = 0;
    unsigned int refractionFrameBuffer = 0;
    unsigned int refractionTexture = 0;
    unsigned int refractionDepthTexture = 0;

    // Each leaves the default framebuffer bound and the display viewport set.
    void createReflectionTarget();
    void createRefractionTarget();

    void bindReflectionTarget();
    void bindRefractionTarget();
    void unbindTargets();

    void cleanUp();

private:
    static unsigned int createFrameBuffer();
    static unsigned int createColourTexture(int width, int height);
    static unsigned int createDepthTexture(int width, int height);
    static unsigned int createDepthBuffer(int width, int height);
    static void bindFrameBuffer(unsigned int frameBuffer, int width, int height);
};
