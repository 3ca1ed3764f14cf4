#include "assets/DataFile.h"

#include "app/FatalError.h"

#include <SOIL/SOIL.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>

std::string DataFile::refusal(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) {
        return "";
    }
    return S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "Not a regular file";
}

void DataFile::printWhyUnreadable(const std::string& path) {
    const int error = errno;
    std::string reason = refusal(path);
    if (reason.empty()) {
        reason = std::strerror(error);
    }
    std::cerr << path << ": " << reason << std::endl;
}

unsigned char* DataFile::decodeImage(const std::string& path, int& width, int& height, int& channels,
                                     int forceChannels) {
    errno = 0;
    unsigned char* pixels = SOIL_load_image(path.c_str(), &width, &height, &channels, forceChannels);
    if (!pixels && errno == ENOMEM) {
        fatalOutOfMemory(path);
    }
    return pixels;
}
