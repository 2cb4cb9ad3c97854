// The picture module (Qt), loaded the first time talloway-cli makes a
// picture: beside the program, or in ../lib/talloway when installed.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

class Canvas;

using PictureEntry = int (*)(const char* path, int kind, int width, int height,
                             void (*draw)(void*, Canvas*), void* ctx, uint32_t* pixels);

// The module's entry point, or null with the reason in error.
PictureEntry pictureModule(std::string& error);

inline constexpr const char* kPictureModuleName = "libtalloway-pictures.so";

}  // namespace tw
