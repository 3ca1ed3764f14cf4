#pragma once
// Reads a vertex array's buffers back from OpenGL, to check what was uploaded.

#include <GL/glew.h>

#include <vector>

template <typename T>
std::vector<T> readBuffer(GLenum target, GLint buffer) {
    glBindBuffer(target, GLuint(buffer));
    GLint bytes = 0;
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &bytes);
    std::vector<T> values(size_t(bytes) / sizeof(T));
    glGetBufferSubData(target, 0, bytes, values.data());
    return values;
}

// The floats in the buffer behind one attribute of the vertex array.
inline std::vector<float> readAttribute(GLuint vertexArray, int attribute) {
    glBindVertexArray(vertexArray);
    GLint buffer = 0;
    glGetVertexAttribiv(GLuint(attribute), GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    std::vector<float> values = readBuffer<float>(GL_ARRAY_BUFFER, buffer);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    return values;
}

inline std::vector<int> readIndices(GLuint vertexArray) {
    glBindVertexArray(vertexArray);
    GLint buffer = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &buffer);
    std::vector<int> values = buffer ? readBuffer<int>(GL_ELEMENT_ARRAY_BUFFER, buffer) : std::vector<int>{};
    glBindVertexArray(0);
    return values;
}
