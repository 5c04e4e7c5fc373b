#pragma once
// The frame count a WAV or AIFF file's header declares, read from the
// header itself: the audio library trims it to what a seekable file holds,
// so a file cut short would otherwise pass for a shorter whole one.

#include <string>

namespace host {

// The frames the header of the file at path declares, or -1 when it does
// not say (a compressed WAV, a streaming writer's placeholder size, a
// header the walk does not reach).
long long HeaderFrames(const std::string& path);

} // namespace host
