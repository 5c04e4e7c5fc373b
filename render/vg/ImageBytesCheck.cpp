// Every 0xFF 0xC4 in the bytes is read as the decoder would read a Huffman
// table segment there (bytes past the end as zeros). Checking all of them,
// not only those a marker walk reaches, keeps the check independent of how
// the decoder walks; a valid file refused this way would need such a run
// inside another segment's payload.
#include "ImageBytesCheck.h"

#include "JpegScanData.h"

namespace {

constexpr int kMaxHuffmanCodes = 256;

int ByteAt(const unsigned char* data, int ndata, long at) { return at < ndata ? data[at] : 0; }

// One segment from its length field: tables of {class and id, 16 counts, symbols}.
bool HuffmanTablesFit(const unsigned char* data, int ndata, long at)
{
  const long length = (ByteAt(data, ndata, at) << 8) | ByteAt(data, ndata, at + 1);
  long left = length - 2;
  at += 2;
  while (left > 0) {
    int codes = 0;
    for (int i = 1; i <= 16; ++i)
      codes += ByteAt(data, ndata, at + i);
    if (codes > kMaxHuffmanCodes)
      return false;
    at += 17 + codes;
    left -= 17 + codes;
    if (at >= ndata)
      break; // only zeros follow: no code more
  }
  return true;
}

// Walks the segments as the decoder does and tells whether every scan uses
// only Huffman tables a table segment before it defined: the decoder would
// run a scan on tables it never built.
bool ScansUseDefinedTables(const unsigned char* data, int ndata, long at)
{
  bool defined[2][4] = {};
  bool progressive = false;
  auto length = [&](long p) { return (ByteAt(data, ndata, p) << 8) | ByteAt(data, ndata, p + 1); };
  while (at < ndata) {
    // A marker: 0xFF, any fill bytes, then its code; other bytes are skipped
    // one by one, as the decoder skips them looking for one.
    if (data[at++] != 0xFF)
      continue;
    while (at < ndata && data[at] == 0xFF)
      ++at;
    if (at >= ndata)
      break;
    const int marker = data[at++];
    if (marker == 0xD9)
      break;
    if (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
      continue;
    const long end = at + length(at);
    if (marker == 0xC4) {
      for (long p = at + 2; p < end && p < ndata;) {
        const int tc = data[p] >> 4, th = data[p] & 15;
        if (tc > 1 || th > 3)
          break; // the decoder stops here
        defined[tc][th] = true;
        int codes = 0;
        for (int i = 1; i <= 16; ++i)
          codes += ByteAt(data, ndata, p + i);
        p += 17 + codes;
      }
    } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC8 && marker != 0xCC) {
      progressive = marker == 0xC2;
    } else if (marker == 0xDA) {
      const int components = ByteAt(data, ndata, at + 2);
      const int specStart = ByteAt(data, ndata, at + 3 + 2 * components);
      const int succHigh = ByteAt(data, ndata, at + 5 + 2 * components) >> 4;
      // A progressive scan decodes DC (first pass only) or AC, never both.
      const bool dc = !progressive || (specStart == 0 && succHigh == 0);
      const bool ac = !progressive || specStart != 0;
      for (int c = 0; c < components; ++c) {
        const int tables = ByteAt(data, ndata, at + 4 + 2 * c);
        if ((dc && (tables >> 4) < 4 && !defined[0][tables >> 4]) ||
            (ac && (tables & 15) < 4 && !defined[1][tables & 15]))
          return false;
      }
      // The entropy-coded data runs to the next marker that is not a
      // restart. The decoder starts it, and each restart interval, with no
      // bits; met by a marker at once it takes a code from the zeros it
      // holds and counts its bits below zero, which its next read shifts by
      // 32 or more. No valid scan or interval is empty.
      at = end;
      long dataBytes = 0;
      while (at < ndata) {
        if (data[at] != 0xFF) {
          ++dataBytes;
          ++at;
          continue;
        }
        long next = at + 1;
        while (next < ndata && data[next] == 0xFF)
          ++next;
        if (next >= ndata)
          break; // the decoder reads zeros past the end
        if (data[next] == 0x00) {
          ++dataBytes;
          at = next + 1;
          continue;
        }
        if (dataBytes == 0)
          return false;
        if (data[next] < 0xD0 || data[next] > 0xD7)
          break; // the walk reads this marker
        dataBytes = 0;
        at = next + 1;
      }
      continue;
    }
    at = end;
  }
  return true;
}

} // namespace

bool ImageBytesSafeToDecode(const unsigned char* data, int ndata)
{
  // A JPEG as the decoder tells one: 0xFF, any fill bytes, then start of image.
  if (!data || ndata < 2 || data[0] != 0xFF)
    return true;
  long start = 1;
  while (start < ndata && data[start] == 0xFF)
    ++start;
  if (start >= ndata || data[start] != 0xD8)
    return true;
  for (long at = start + 1; at + 1 < ndata; ++at)
    if (data[at] == 0xFF && data[at + 1] == 0xC4 && !HuffmanTablesFit(data, ndata, at + 2))
      return false;
  return ScansUseDefinedTables(data, ndata, start + 1) && JpegScansHoldTheirData(data, ndata, start + 1);
}
