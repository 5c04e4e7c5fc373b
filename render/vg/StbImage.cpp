// The image decoder, compiled once for the engine. PNG and JPEG are what the
// drawing back end hands it; other formats stay out of the program.
#include <cstddef>
#include <cstdlib>

namespace {

// A few header bytes can claim gigabytes (chunk lengths, image sizes); no
// editor bitmap comes near this, so larger requests fail the decode instead.
constexpr std::size_t kMaxImageAllocation = std::size_t(256) << 20;

void* ImageMalloc(std::size_t bytes) { return bytes > kMaxImageAllocation ? nullptr : std::malloc(bytes); }

void* ImageRealloc(void* block, std::size_t bytes)
{
  return bytes > kMaxImageAllocation ? nullptr : std::realloc(block, bytes);
}

} // namespace

#define STBI_MALLOC(bytes) ImageMalloc(bytes)
#define STBI_REALLOC(block, bytes) ImageRealloc(block, bytes)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
// Images are decoded on the main thread only, and the module a host loads
// keeps no thread-local storage: the decoder's failure text and flags are
// plain statics.
#define STBI_NO_THREAD_LOCALS
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#endif
#include "StbImage.h"
