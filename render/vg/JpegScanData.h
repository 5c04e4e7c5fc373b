#pragma once
// Decodes the entropy-coded data of every scan of a Huffman-coded JPEG
// (sequential or progressive) without reconstructing pixels, from `at`, just
// past the start of image. False when an interval's data ends before all its
// blocks are decoded (the decoder would read on past a marker and shift its
// bit buffer by 32 or more), when a code is not in its table or breaks the
// coding rules, when a DC value leaves 16 bits (the decoder's arithmetic on it
// overflows), or when the frame or a scan header is one the walk cannot
// follow; true otherwise, and for bytes with no scan.
bool JpegScansHoldTheirData(const unsigned char* data, int ndata, long at);
