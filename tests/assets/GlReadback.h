#pragma once
// Reads a vertex array's buffers back from OpenGL, to check what was uploaded.

#include <GL/glew.h>

#include <vector>

// The values in the buffer behind one attribute of the vertex array, or behind its
// element array when attribute is -1.
template <typename T>
std::vector<T> readBufferOf(GLuint vertexArray, int attribute) {
    glBindVertexArray(vertexArray);
    GLint buffer = 0, bytes = 0;
    if (attribute < 0)
        glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &buffer);
    else
        glGetVertexAttribiv(GLuint(attribute), GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    glBindVertexArray(0);
    glBindBuffer(GL_COPY_READ_BUFFER, GLuint(buffer));
    glGetBufferParameteriv(GL_COPY_READ_BUFFER, GL_BUFFER_SIZE, &bytes);
    std::vector<T> values(size_t(bytes) / sizeof(T));
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, bytes, values.data());
    return values;
}

inline std::vector<float> readAttribute(GLuint vao, int attribute) {
    return readBufferOf<float>(vao, attribute);
}
inline std::vector<int> readIndices(GLuint vao) {
    return readBufferOf<int>(vao, -1);
}
