#pragma once
// The frame count a WAV or AIFF file's header declares, read from the
// header itself: the audio library trims it to what a seekable file holds,
// so a file cut short would otherwise pass for a shorter whole one.

#include <string>

namespace host {

// The frames the header of the file at path declares, or -1 when it does
// not say (a compressed WAV, a streaming writer's placeholder size, a
// header whose chunks do not lead to the count within the file).
long long HeaderFrames(const std::string& path);

// The same for the file that begins `start` bytes into the open file fd (a
// standard input already part-way into a file); fd's position is left as
// it was.
long long HeaderFrames(int fd, long long start);

} // namespace host
