#pragma once
// Fingerprint (".vrl") and reference (".ref") files: one curve, little-endian,
// no padding: magic (4 bytes), u32 version 3, u32 count N, N frequencies,
// N magnitudes (doubles). 12 + 16 N bytes. The two types differ only in
// their magic. Main thread (file input and output).
#include <vector>

#include "Vorelle3CurveRecord.h"

enum class ECurveFileType { kFingerprint, kReference };

enum class ECurveFileStatus {
  kOK,
  kCannotOpen,
  kWrongType, // magic of the other type, or of nothing known
  kWrongVersion,
  kWrongCount, // a count other than the expected one
  kTruncated,  // fewer values than the count announces
  kNotFinite,  // a value that is NaN or infinite
};

inline constexpr unsigned kCurveFileVersion = 3;
inline constexpr int kCurveFileHeaderBytes = 12;

// The four magic bytes of a type: " LRV" and " FER".
const char* CurveFileMagic(ECurveFileType type);

// The message a failed read shows under the title "Error" (null for kOK and
// kCannotOpen, which show none).
const char* CurveFileMessage(ECurveFileStatus status);

// Writes the record's count, frequencies and magnitudes beside path and
// renames the file into place. False, the old file untouched, when the file
// cannot be made, written or closed.
[[nodiscard]] bool WriteCurveFile(const char* path, ECurveFileType type, const Vorelle3CurveRecord& curve);

// Reads a whole file of this type and expectedCount points into freq and mag
// (resized to the count). Checks magic, version and count in that order,
// then requires every value present and finite. The outputs are only
// written on kOK.
ECurveFileStatus ReadCurveFile(const char* path, ECurveFileType type, unsigned expectedCount, std::vector<double>& freq,
                               std::vector<double>& mag);
