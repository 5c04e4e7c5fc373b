// Umbrella header of the CoreServices stand-in.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/Components.h>
#include <CoreServices/Gestalt.h>
#include <CoreServices/MacErrors.h>
