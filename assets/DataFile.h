#pragma once
// The game reads its shaders, models and images whole at start-up, from paths anyone
// can change. Anything but a regular file is refused before it is opened: a directory
// reads as nothing, a FIFO blocks the open until something writes to it, and a device
// such as /dev/zero never ends.

#include <string>

class DataFile {
public:
    // Why `path` cannot be read as a data file ("Is a directory", "Not a regular
    // file"), or "" when it is a regular file or does not exist (opening it then fails
    // with the system's own reason).
    static std::string refusal(const std::string& path);

    // Prints "<path>: <reason>" on the error stream as perror does, after a failed open
    // or a refusal: the refusal if there is one, else the system's reason in errno.
    static void printWhyUnreadable(const std::string& path);

    // SOIL_load_image, except that a decoder that runs out of memory ends the game
    // through fatalOutOfMemory: that is no broken file, and there is no memory to play on.
    static unsigned char* decodeImage(const std::string& path, int& width, int& height, int& channels,
                                      int forceChannels);
};
