// The GPU interface of the platform, as far as the renderer uses it.
#pragma once

#include <Metal/MTLCommandEncoder.h>
#include <Metal/MTLCommandQueue.h>
#include <Metal/MTLDepthStencil.h>
#include <Metal/MTLDevice.h>
#include <Metal/MTLDrawable.h>
#include <Metal/MTLLibrary.h>
#include <Metal/MTLRenderPass.h>
#include <Metal/MTLRenderPipeline.h>
#include <Metal/MTLResource.h>
#include <Metal/MTLSampler.h>
#include <Metal/MTLTypes.h>
