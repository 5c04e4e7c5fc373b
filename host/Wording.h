#pragma once
// How auhost words what it says, the same in every command: counts with the
// noun in the right number, and a library's own text cut down to the reason
// it gives, for use after the host's own sentence.

#include <string>

namespace host {

// "1 sample", "0 samples", "2 frames".
std::string CountOf(long long n, const char* singular);

// "System error : No such file or directory." -> "No such file or
// directory"; a text without the prefix loses only its final full stop.
std::string LibraryReason(const std::string& text);

} // namespace host
