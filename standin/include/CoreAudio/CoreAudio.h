// Umbrella header of the CoreAudio stand-in: only its shared data types.
#pragma once

#include <CoreAudio/CoreAudioTypes.h>
