#pragma once
// Base of every GPU program (the GUI shader class builds two: images and text): reads a
// vertex and a fragment source, compiles, binds attributes to fixed indices, links, and
// looks uniforms up. Every failure ends start-up through fatalError. Concrete shaders run
// the steps in their constructors: createShaders, bindAttribute..., linkProgram,
// getUniformLocation...

#include "world/Transforms.h"

#include <GL/glew.h>

#include <string>

class ShaderProgram {
public:
    int attributeCount = 0; // also the index the next bound attribute receives
    GLuint programId = 0;
    GLuint vertexShaderId = 0;
    GLuint fragmentShaderId = 0;

    // glUseProgram and enable attribute arrays 0 .. attributeCount - 1.
    void start() const;
    // Program 0 and the same arrays disabled.
    void stop() const;

    // Reads a source file: each line followed by "\n", whatever its own line end.
    // Returns false when it is not a regular file or cannot be opened.
    static bool readSource(const std::string& path, std::string& source);

protected:
    void createShaders(const std::string& vertexPath, const std::string& fragmentPath);
    void compileShaderFile(const std::string& path, GLuint shader);
    void bindAttribute(const char* name);
    void linkProgram();
    GLint getUniformLocation(const std::string& name) const;

    static void setFloat(GLint location, float value);
    static void setBool(GLint location, bool value); // flags reach GLSL as 1.0 / 0.0
    static void setInt(GLint location, int value);
    static void setVec2(GLint location, const Vec2& value);
    static void setVec3(GLint location, const Vec3& value);
    static void setVec4(GLint location, const Vec4& value);
    static void setMat4(GLint location, const Mat4& value);
};
