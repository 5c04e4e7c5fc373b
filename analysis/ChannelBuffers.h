#pragma once
// Multichannel sample buffers: an array of nch channel pointers, each to an
// array of doubles, all allocated with new[]; the caller releases them with
// FreeChannelBuffers.

// New buffers of nFrames doubles per channel, not cleared; for nch < 1 only
// the (empty) pointer array. nFrames < 0 counts as 0.
double** AllocChannelBuffers(int nFrames, int nch);
// Frees every non-null channel, then the pointer array; null is allowed.
void FreeChannelBuffers(double** bufs, int nch);
// Sets nFrames doubles of every non-null channel to 0.
void ZeroChannelBuffers(double** bufs, int nFrames, int nch);
// For each channel where both pointers exist, copies nFrames doubles from
// src[c] to dst[c] + dstOffset (the ranges may overlap).
void CopyChannelBuffers(double* const* src, double** dst, int nFrames, int nch, int dstOffset);
// The same for one channel; nothing when either pointer is null.
void CopyChannelBuffer(const double* src, double* dst, int nFrames, int dstOffset);
