#pragma once
// The one orderly stop on an unrecoverable error: the message on standard output,
// a prompt, one integer read from standard input, SDL_Quit, exit code 69.

#include <string>

[[noreturn]] void fatalError(std::string message);
// The fatal error for a file whose load ran out of memory; names the file.
[[noreturn]] void fatalOutOfMemory(const std::string& path);

constexpr int FATAL_EXIT_CODE = 69;
