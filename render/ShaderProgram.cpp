#include "render/ShaderProgram.h"

#include "app/FatalError.h"
#include "assets/DataFile.h"

#include <glm/gtc/type_ptr.hpp>

#include <cstdio>
#include <fstream>
#include <vector>

namespace {

// Info logs print as-is followed by a line end, also when empty.
void printLog(const std::vector<char>& log) {
    std::printf("%s\n", log.data());
    std::fflush(stdout);
}

}

void ShaderProgram::start() const {
    glUseProgram(programId);
    for (int i = 0; i < attributeCount; ++i) {
        glEnableVertexAttribArray(GLuint(i));
    }
}

void ShaderProgram::stop() const {
    glUseProgram(0);
    for (int i = 0; i < attributeCount; ++i) {
        glDisableVertexAttribArray(GLuint(i));
    }
}

bool ShaderProgram::readSource(const std::string& path, std::string& source) {
    if (!DataFile::refusal(path).empty()) {
        return false;
    }
    std::ifstream file(path);
    if (!file.is_open()) {
        return false;
    }
    source.clear();
    std::string line;
    while (std::getline(file, line)) {
        source += line;
        source += '\n';
    }
    return true;
}

void ShaderProgram::createShaders(const std::string& vertexPath, const std::string& fragmentPath) {
    programId = glCreateProgram();
    vertexShaderId = glCreateShader(GL_VERTEX_SHADER);
    if (vertexShaderId == 0) {
        fatalError("Vertex shader failed to be created!");
    }
    fragmentShaderId = glCreateShader(GL_FRAGMENT_SHADER);
    if (fragmentShaderId == 0) {
        fatalError("Fragment shader failed to be created!");
    }
    compileShaderFile(vertexPath, vertexShaderId);
    compileShaderFile(fragmentPath, fragmentShaderId);
}

void ShaderProgram::compileShaderFile(const std::string& path, GLuint shader) {
    std::string source;
    if (!readSource(path, source)) {
        DataFile::printWhyUnreadable(path);
        fatalError("Failed to open " + path);
    }
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled) {
        return;
    }
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(size_t(length > 0 ? length : 0) + 1, '\0');
    glGetShaderInfoLog(shader, length, &length, log.data());
    glDeleteShader(shader);
    printLog(log);
    fatalError("Shader " + path + " failed to compile!");
}

void ShaderProgram::bindAttribute(const char* name) {
    glBindAttribLocation(programId, GLuint(attributeCount), name);
    ++attributeCount;
}

void ShaderProgram::linkProgram() {
    glAttachShader(programId, vertexShaderId);
    glAttachShader(programId, fragmentShaderId);
    glLinkProgram(programId);
    GLint linked = GL_FALSE;
    glGetProgramiv(programId, GL_LINK_STATUS, &linked);
    if (linked) {
        glDetachShader(programId, vertexShaderId);
        glDetachShader(programId, fragmentShaderId);
        glDeleteShader(vertexShaderId);
        glDeleteShader(fragmentShaderId);
        return;
    }
    GLint length = 0;
    glGetProgramiv(programId, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(size_t(length > 0 ? length : 0) + 1, '\0');
    glGetProgramInfoLog(programId, length, &length, log.data());
    glDeleteProgram(programId);
    glDeleteShader(vertexShaderId);
    glDeleteShader(fragmentShaderId);
    printLog(log);
    fatalError("Shaders failed to link!");
}

GLint ShaderProgram::getUniformLocation(const std::string& name) const {
    const GLint location = glGetUniformLocation(programId, name.c_str());
    if (location == -1) {
        fatalError("Uniform " + name + " not found in shader!");
    }
    return location;
}

void ShaderProgram::setFloat(GLint location, float value) {
    glUniform1f(location, value);
}
void ShaderProgram::setBool(GLint location, bool value) {
    glUniform1f(location, value ? 1.0f : 0.0f);
}
void ShaderProgram::setInt(GLint location, int value) {
    glUniform1i(location, value);
}
void ShaderProgram::setVec2(GLint location, const Vec2& value) {
    glUniform2f(location, value.x, value.y);
}
void ShaderProgram::setVec3(GLint location, const Vec3& value) {
    glUniform3f(location, value.x, value.y, value.z);
}
void ShaderProgram::setVec4(GLint location, const Vec4& value) {
    glUniform4f(location, value.x, value.y, value.z, value.w);
}
void ShaderProgram::setMat4(GLint location, const Mat4& value) {
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(value));
}
