#pragma once
// The image decoder's declarations; its code is compiled once, in StbImage.cpp.
#include <stb/stb_image.h>
