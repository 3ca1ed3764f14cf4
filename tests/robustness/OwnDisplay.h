#pragma once
// One Xvfb for the whole test program, started on first use on a display number the
// server picks itself, and stopped when the program ends. Games started by the tests
// run there, so tests running at the same time cannot send keys to them.

#include <string>

// ":N" of the server; empty (and a test failure) when it could not start.
const std::string& ownDisplay();
