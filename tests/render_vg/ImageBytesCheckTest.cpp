// JPEG Huffman tables that declare more codes than a table holds, and scans
// on tables never defined, are refused before the decoder sees them;
// everything else reaches it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
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

Bytes CorpusFile(const std::string& name)
{
  std::ifstream in(std::string(VG_IMAGE_CORPUS) + "/" + name, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ImageBytesCheck, ScansOnTablesNeverDefinedOrWithoutDataAreRefused)
{
  // Made by libjpeg: a table segment before each scan that needs one. DC scans
  // at 222 (tables 0x00 0x10 0x10) and 453 (a refinement), the first AC scan
  // at 266 after its table at 241.
  const Bytes progressive = CorpusFile("jpeg_progressive");
  ASSERT_EQ(progressive.size(), 604u);
  ASSERT_EQ(progressive[241 + 1], 0xC4);
  const Bytes noFirstAcTable = [&] {
    Bytes b(progressive.begin(), progressive.begin() + 241);
    for (size_t i = 266; i < progressive.size(); ++i)
      b.push_back(progressive[i]);
    return b;
  }();
  // The first scan's data (236 .. 240) taken out: the next marker follows its header.
  Bytes emptyScan(progressive.begin(), progressive.begin() + 236);
  for (size_t i = 241; i < progressive.size(); ++i)
    emptyScan.push_back(progressive[i]);
  Bytes dcTable2 = progressive, refinementOnTable3 = progressive;
  dcTable2[230] = 0x20;
  refinementOnTable3[453 + 6] = refinementOnTable3[453 + 8] = refinementOnTable3[453 + 10] = 0x33;

  const struct {
    const char* what;
    Bytes bytes;
    bool safe;
  } cases[] = {
    {"progressive", progressive, true},
    {"baseline", CorpusFile("jpeg_baseline"), true},
    {"fuzz input: progressive scans and no table segment", CorpusFile("jpeg_progressive_undefined_huffman"), false},
    {"second fuzz input", CorpusFile("jpeg_progressive_undefined_huffman_2"), false},
    {"AC scan before its table", noFirstAcTable, false},
    {"DC scan on table 2, never defined", dcTable2, false},
    {"DC refinement reads no table", refinementOnTable3, true},
    {"fuzz input: an AC scan with no data", CorpusFile("jpeg_progressive_empty_scan"), false},
    {"a scan with no data", emptyScan, false},
  };
  for (const auto& c : cases) {
    ASSERT_GT(c.bytes.size(), 100u) << c.what;
    EXPECT_EQ(ImageBytesSafeToDecode(c.bytes.data(), int(c.bytes.size())), c.safe) << c.what;
  }
}

using ImageBytesDecode = vgtest::VGTest;

TEST_F(ImageBytesDecode, ProgressiveImagesDecodeUnlessAScanHasNoTable)
{
  Bytes good = CorpusFile("jpeg_progressive"), bad = CorpusFile("jpeg_progressive_undefined_huffman");
  EXPECT_NE(vgCreateImageMem(ctx, 0, good.data(), int(good.size())), 0);
  const size_t textures = rec.textures.size();
  EXPECT_EQ(vgCreateImageMem(ctx, 0, bad.data(), int(bad.size())), 0);
  EXPECT_EQ(rec.textures.size(), textures);
}

TEST_F(ImageBytesDecode, AnOverfullTableNeverReachesTheDecoder)
{
  Bytes bytes = Jpeg(0xC4, Table(300));
  const size_t textures = rec.textures.size();
  EXPECT_EQ(vgCreateImageMem(ctx, 0, bytes.data(), int(bytes.size())), 0);
  EXPECT_EQ(rec.textures.size(), textures);
}

} // namespace
