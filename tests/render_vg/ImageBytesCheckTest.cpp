// JPEG Huffman tables that declare more codes than a table holds are refused
// before the decoder writes past its table; everything else reaches it.
#include <gtest/gtest.h>

#include <vector>

#include "ImageBytesCheck.h"
#include "VGTestContext.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Byte by byte: GCC 12 warns falsely on range inserts into small vectors.
void Append(Bytes& to, const Bytes& from)
{
  for (unsigned char c : from)
    to.push_back(c);
}

// SOI, then one segment of the given marker and payload, then EOI.
Bytes Jpeg(unsigned char marker, const Bytes& payload, const Bytes& before = {})
{
  const int length = int(payload.size()) + 2;
  const Bytes head = {0xFF, marker, (unsigned char)(length >> 8), (unsigned char)(length & 0xFF)};
  Bytes b = {0xFF, 0xD8};
  Append(b, before);
  Append(b, head);
  Append(b, payload);
  Append(b, {0xFF, 0xD9});
  return b;
}

// One Huffman table whose 16 counts add up to `codes`, with its symbols.
Bytes Table(int codes)
{
  Bytes t = {0x00};
  for (int i = 0; i < 16; ++i) {
    const int c = codes > 255 ? 255 : codes;
    t.push_back((unsigned char)c);
    codes -= c;
  }
  int symbols = 0;
  for (int i = 1; i <= 16; ++i)
    symbols += t[size_t(i)];
  t.insert(t.end(), size_t(symbols), 0x01);
  return t;
}

TEST(ImageBytesCheck, HuffmanTablesOfMoreThan256CodesAreRefused)
{
  const Bytes full = Table(256), over = Table(257);
  Bytes twoTables = Table(12);
  Append(twoTables, over);
  // A table-like run inside another segment is refused too: the check does
  // not depend on how the decoder walks the segments.
  Bytes app = {0xFF, 0xC4, 0x01, 0x10};
  Append(app, over);
  const Bytes appSegment = [&] {
    Bytes s = {0xFF, 0xE1, (unsigned char)((app.size() + 2) >> 8), (unsigned char)((app.size() + 2) & 0xFF)};
    Append(s, app);
    return s;
  }();

  const struct {
    const char* what;
    Bytes bytes;
    bool safe;
  } cases[] = {
    {"256 codes", Jpeg(0xC4, full), true},
    {"257 codes", Jpeg(0xC4, over), false},
    {"second table of 257", Jpeg(0xC4, twoTables), false},
    {"after fill bytes", Jpeg(0xC4, over, {0xFF, 0xFF}), false},
    {"inside an APP segment", Jpeg(0xC4, full, appSegment), false},
    {"fill bytes before the start", Bytes{0xFF, 0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x57, 0x00, 0x00, 0xFF, 0xFF}, false},
    {"not a JPEG", Bytes{0x89, 'P', 'N', 'G', 0xFF, 0xC4, 0x01, 0x20}, true},
    {"cut table, few codes", Bytes{0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x30, 0x00, 0x01}, true},
    {"cut table, too many codes", Bytes{0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x57, 0x00, 0x00, 0xFF, 0xFF}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ImageBytesSafeToDecode(c.bytes.data(), int(c.bytes.size())), c.safe) << c.what;
}

using ImageBytesDecode = vgtest::VGTest;

TEST_F(ImageBytesDecode, AnOverfullTableNeverReachesTheDecoder)
{
  Bytes bytes = Jpeg(0xC4, Table(300));
  const size_t textures = rec.textures.size();
  EXPECT_EQ(vgCreateImageMem(ctx, 0, bytes.data(), int(bytes.size())), 0);
  EXPECT_EQ(rec.textures.size(), textures);
}

} // namespace
