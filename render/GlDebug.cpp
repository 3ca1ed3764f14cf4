#include "render/GlDebug.h"

#include <GL/glew.h>

#include <sstream>
#include <vector>

namespace {

std::vector<std::function<void(const std::string&)>>& errorHandlers() {
    static std::vector<std::function<void(const std::string&)>> handlers;
    return handlers;
}

void GLAPIENTRY onDebugMessage(GLenum source, GLenum type, GLuint id, GLenum, GLsizei length, const GLchar* message,
                               const void*) {
    // Failed compiles come here too; the shader program reports those through its info log.
    if (type != GL_DEBUG_TYPE_ERROR || source == GL_DEBUG_SOURCE_SHADER_COMPILER) {
        return;
    }
    std::ostringstream text;
    text << "GL error 0x" << std::hex << id << ": ";
    if (length >= 0) {
        text.write(message, length);
    } else {
        text << message;
    }
    for (const auto& handler : errorHandlers()) {
        handler(text.str());
    }
}

bool hasDebugOutput() {
    return GLEW_KHR_debug || GLEW_VERSION_4_3;
}

}

bool enableGlErrorChecks(std::function<void(const std::string&)> onError) {
    if (onError) {
        errorHandlers().push_back(std::move(onError));
    }
    if (!hasDebugOutput()) {
        return false;
    }
    glEnable(GL_DEBUG_OUTPUT);
    // Synchronous, so a handler runs inside the offending call and a stack trace points at it.
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(onDebugMessage, nullptr);
    // Only errors: drivers also talk about performance and shader recompiles.
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_FALSE);
    glDebugMessageControl(GL_DONT_CARE, GL_DEBUG_TYPE_ERROR, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    return true;
}

bool glErrorChecksActive() {
    if (!hasDebugOutput() || !glIsEnabled(GL_DEBUG_OUTPUT)) {
        return false;
    }
    void* callback = nullptr;
    glGetPointerv(GL_DEBUG_CALLBACK_FUNCTION, &callback);
    return callback == reinterpret_cast<void*>(&onDebugMessage);
}
