#pragma once
// A picture file written as audio is: the target checked (a regular file or
// none, a link followed to the file it points to), the bytes staged beside
// it with every write checked, and renamed into place only when all of them
// and the close succeeded. Host main thread.

#include <cstdint>
#include <string>
#include <vector>

#include "StagedFile.h"

namespace host {

// Empty on success, else why; on failure an existing file at path is kept.
std::string WritePictureFile(const std::string& path, const std::vector<uint8_t>& bytes);

// The same up to the close: staged holds the complete picture, for the
// caller to put in place along with its other outputs.
std::string StagePictureFile(StagedFile& staged, const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace host
