#pragma once

#include <QuartzCore/CALayer.h>
#include <QuartzCore/CAMetalLayer.h>
