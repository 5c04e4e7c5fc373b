// The version service's reply from outside: handed to the transfer's write
// function in pieces as the network would (the first byte sets the piece
// size), then parsed. The reply keeps exactly the bytes that fit, and the
// number read agrees with a reading written here from the reply's rules.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>

#include "FuzzFiles.h"
#include "VersionCheck.h"

namespace {

// Blanks, an optional sign and 1..9 digits.
bool Number(const char*& p, long long& v)
{
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
    ++p;
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-')
    ++p;
  const char* start = p;
  v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (p - start < 9)
      v = v * 10 + (*p - '0');
  }
  if (p == start || p - start > 9)
    return false;
  if (negative)
    v = -v;
  return true;
}

bool Reference(const char* text, long long& number)
{
  long long part[3];
  const char* p = text;
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && *p++ != '.')
      return false;
    if (!Number(p, part[i]))
      return false;
  }
  number = part[0] * 10000 + part[1] * 100 + part[2];
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0)
    return 0;
  const size_t piece = data[0] ? data[0] : 4096;
  ++data;
  --size;
  auto reply = std::make_unique<VersionCheckReply>();
  size_t given = 0;
  bool stopped = false;
  std::unique_ptr<char[]> copy(new char[piece]);
  while (given < size && !stopped) {
    const size_t n = size - given < piece ? size - given : piece;
    std::memcpy(copy.get(), data + given, n);
    const size_t taken = CurlWriteCallback(copy.get(), 1, n, reply.get());
    if (taken != n && taken != 0)
      fuzzsupport::Fail("the write function took part of a piece");
    stopped = taken == 0;
    given += n;
  }
  const size_t kept = size < VersionCheckReply::kCapacity ? size : VersionCheckReply::kCapacity;
  if (reply->length != kept || reply->overflow != (size > VersionCheckReply::kCapacity))
    fuzzsupport::Fail("reply length or overflow flag");
  if (std::memcmp(reply->text, data, kept) != 0 || reply->text[kept] != '\0')
    fuzzsupport::Fail("the reply does not hold the bytes received");

  long long number = -1, expected = -1;
  const bool parsed = ParseVersionNumber(reply->text, number);
  if (parsed != Reference(reply->text, expected) || (parsed && number != expected))
    fuzzsupport::Fail("the version read differs from the reference reading");
  return 0;
}
