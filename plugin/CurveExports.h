#pragma once
// Text exports of curves for other tools.
//
// Source record: an analysed spectrum written as an initialiser of
// SVLCREFDATA2 ("ref_xxx"), one line per section, frequencies "%.1lf",
// magnitudes "%.6lf". CSV: five columns per point, ";" after every field,
// two decimals with a decimal comma.
// Numbers are written the same in every locale. Main thread (file output).
#include <ctime>
#include <string>

#include "SVLCREFDATA2.h"

inline constexpr const char* kRefDataFileName = "ref_data";
inline constexpr const char* kRefDataExtension = ".cpp";
inline constexpr const char* kCurveDataFileName = "curve_data";
inline constexpr const char* kCurveDataExtension = ".csv";

// Reduces an nBins linear spectrum of a signal at sample rate fs onto the five
// grids of the record (10 Hz .. 22050 Hz; points above fs/2 stay 0). False
// when nBins < 2 or fs is not positive.
bool MapSpectrumToRecord(const double* spectrum, int nBins, double fs, SVLCREFDATA2& record);

// The text of a record: header lines with name and time, the initialiser.
std::string RefDataSourceText(const SVLCREFDATA2& record, const char* name, const std::tm& when);

// One table row per point k < count. ref may hold refCount < count points:
// the missing ones count as silence. All arrays linear except diff (dB).
struct CurveTable {
  const double* freq = nullptr;
  const double* fingerprint = nullptr;
  const double* reference = nullptr;
  int refCount = 0;
  const double* diff = nullptr;
  int count = 0;
};
std::string CurvesCSVText(const CurveTable& table);

// Writes text beside path and renames it into place; false, the old file
// untouched, when any step fails.
[[nodiscard]] bool WriteTextFile(const char* path, const std::string& text);
