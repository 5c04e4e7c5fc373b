// Umbrella header of the CoreMIDI stand-in.
#pragma once

#include <CoreMIDI/MIDIServices.h>
