// The image decoder, compiled once for the engine. PNG and JPEG are what the
// drawing back end hands it; other formats stay out of the program.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#endif
#include "StbImage.h"
