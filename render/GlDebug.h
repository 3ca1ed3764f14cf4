#pragma once
// Turns OpenGL errors into calls of handlers, through the driver's debug output
// (KHR_debug or GL 4.3). Installed by the tests, and by debug builds of the game
// right after the context is made. The handlers are process-wide; debug output is
// switched on per context. Needs the GL context current.

#include <functional>
#include <string>

// Adds onError (when not empty) to the handlers and switches debug output on for the
// current context: every GL error then reaches every handler with the driver's message,
// inside the offending call. Returns false when the driver has no debug output; errors
// then only wait in glGetError's queue.
bool enableGlErrorChecks(std::function<void(const std::string&)> onError);

// Whether the current context reports its errors to the handlers.
bool glErrorChecksActive();
