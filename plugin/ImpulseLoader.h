#pragma once
// Hands a designed impulse to a divided convolution engine and prepares the
// engine for the audio thread. Main (or reset) thread, under whatever lock
// guards the engine; allocates.
#include "CDividedConvolutionEngine.h"
#include "CImpulseBuffer.h"

// Copies n samples of impulse into both channels of buffer (the second from
// secondImpulse unless sameForBoth or secondImpulse is null), loads it into
// engine (FFT sizes up to maxFFTSize, slices laid out for blockSize, no
// latency allowed) and warms the engine up. markReset makes the engine serve
// no channel until the next Add. Returns the engine's latency, or -1 when the
// buffer could not take n samples (the engine is then left as it was).
int LoadImpulse(const double* impulse, const double* secondImpulse, int n, bool sameForBoth, CImpulseBuffer& buffer,
                CDividedConvolutionEngine& engine, int maxFFTSize, int blockSize, bool markReset);

// Streams `samples` frames of a quiet two-channel signal through engine in
// blocks of blockSize, reading all output, so every queue and scratch buffer
// reaches the size that blocks up to blockSize need; then forgets the signal.
// Afterwards Add/Avail/Get/Advance with blocks up to blockSize allocate
// nothing, and the engine starts from silence as a fresh one does.
void WarmUpEngine(CDividedConvolutionEngine& engine, int blockSize, int samples);

// Frames of warm-up that cover several cycles of the engine's longest slice.
int WarmUpLength(const CDividedConvolutionEngine& engine, int blockSize);
