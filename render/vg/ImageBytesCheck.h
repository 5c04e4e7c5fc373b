#pragma once
// Checks on image bytes that the system's decoder does not make itself.

// False when a JPEG's Huffman tables declare more than 256 codes, which the
// decoder would write past its table for (also a table cut off by the end,
// which it reads on as zeros), when a scan uses a Huffman table that no
// table segment before it defined, which the decoder would read unbuilt (it
// shifts and indexes by what it finds there), or when a scan or restart
// interval holds no data, which leaves the decoder's bit count below zero,
// or when the scans' entropy-coded data does not decode in full (see
// JpegScanData.h); other bytes pass unchanged.
bool ImageBytesSafeToDecode(const unsigned char* data, int ndata);
