#pragma once
// Decimal text of numbers that does not depend on the process locale: a host
// running with a comma locale must still write and read "1.500000". The
// output matches printf's "%.*f" in the "C" locale; the parser reads what
// "%lf" scanning reads there: the characters the scanner collects (it never
// steps back, so "0xnan" and "infinit" are no number), taken as far as they
// form a number ("0x2p+-91" reads 2).
// Pure functions; any thread.
#include <string>

namespace plugin {

// "%.<decimals>f" of value; decimals 0..17.
std::string FormatFixed(double value, int decimals);

// Writes "%.<decimals>f" of value into out (NUL-terminated, cut to
// outSize - 1 characters). Returns the full length the text needs.
int FormatFixed(double value, int decimals, char* out, int outSize);

// Reads a number from the start of text. False (value untouched) when no
// number begins there; true also when characters follow the number.
bool ParseDouble(const char* text, double& value);

} // namespace plugin
