#pragma once
// Table-driven UTF-8 decoder: a byte-class table and a transition table whose
// states step by 12. ACCEPT completes a code point; REJECT stays rejected
// until the caller starts over from ACCEPT.

#include <cstdint>

constexpr unsigned int FST_UTF8_ACCEPT = 0;
constexpr unsigned int FST_UTF8_REJECT = 12;
constexpr unsigned int FST_REPLACEMENT_CHARACTER = 0xFFFD;

// Feeds one byte; returns the new state and accumulates the code point in *codep.
unsigned int fst_decutf8(unsigned int* state, unsigned int* codep, unsigned int byte);

// Decodes the next code point of [*str, end); 0 when *str is end. A malformed
// sequence, also one cut off by the end, yields U+FFFD and resumes at the
// first byte that cannot continue it. Never reads at or past end.
int fstNextCodepoint(const char** str, const char* end, unsigned int* codepoint);
