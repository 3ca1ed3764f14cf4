#pragma once
// A drawable vertex array. The model loader owns the GL names behind it.

struct Mesh {
    unsigned int vertexArray = 0;
    int vertexCount = 0; // indices for indexed meshes, vertices for position-only ones
};
