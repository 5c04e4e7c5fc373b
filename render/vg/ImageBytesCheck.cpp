// Every 0xFF 0xC4 in the bytes is read as the decoder would read a Huffman
// table segment there (bytes past the end as zeros). Checking all of them,
// not only those a marker walk reaches, keeps the check independent of how
// the decoder walks; a valid file refused this way would need such a run
// inside another segment's payload.
#include "ImageBytesCheck.h"

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
  return true;
}
