#pragma once
// Real image files for the headless back end and for drawing tests: PNG and
// JPEG decoded to RGBA bytes, RGBA bytes written as PNG.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct RGBAImage {
  int w = 0, h = 0;
  std::vector<std::uint8_t> px; // w * h * 4, rows top first
};

// False (image untouched) when the file or bytes are not a decodable image.
bool DecodeImageFile(const char* path, RGBAImage& out);
bool DecodeImageBytes(const void* data, int size, RGBAImage& out);
// Written beside the target and renamed into place.
bool WritePNG(const std::string& path, const RGBAImage& image);

} // namespace testsupport
