// JPEG Huffman tables that declare more codes than a table holds, scans on
// tables never defined, and scans whose data runs out or breaks the coding
// rules, are refused before the decoder sees them; everything else reaches it.
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

// Where each scan's entropy-coded data lies: from the end of its header to
// the marker that ends the scan (restart markers are part of it).
struct ScanData {
  size_t begin, end;
};

std::vector<ScanData> ScansOf(const Bytes& b)
{
  std::vector<ScanData> scans;
  for (size_t at = 2; at + 3 < b.size();) {
    const size_t length = size_t(b[at + 2] << 8 | b[at + 3]);
    if (b[at + 1] != 0xDA) {
      at += 2 + length;
      continue;
    }
    size_t end = at + 2 + length;
    while (end + 1 < b.size() && !(b[end] == 0xFF && b[end + 1] != 0x00 && (b[end + 1] & 0xF8) != 0xD0))
      ++end;
    scans.push_back({at + 2 + length, end});
    at = end;
  }
  return scans;
}

// The bytes with [begin, end) replaced by `with`.
Bytes Spliced(const Bytes& b, size_t begin, size_t end, const Bytes& with = {})
{
  Bytes out(b.begin(), b.begin() + long(begin));
  Append(out, with);
  for (size_t i = end; i < b.size(); ++i)
    out.push_back(b[i]);
  return out;
}

// A progressive grey picture `width` x 8 with one scan of `params` (start,
// end, approximation) on one Huffman table of class `tableClass`: its 16
// counts, then its symbols. A restart every `restart` blocks unless 0.
Bytes OneScanOnTable(int width, int restart, int tableClass, const Bytes& table, const Bytes& params, const Bytes& data)
{
  const int length = 3 + int(table.size());
  Bytes b = {0xFF, 0xD8, 0xFF, 0xC2, 0x00, 0x0B, 0x08, 0x00, 0x08};
  Append(b, {(unsigned char)(width >> 8), (unsigned char)width, 0x01, 0x01, 0x11, 0x00});
  Append(b, {0xFF, 0xC4, (unsigned char)(length >> 8), (unsigned char)length, (unsigned char)(tableClass << 4)});
  Append(b, table);
  if (restart)
    Append(b, {0xFF, 0xDD, 0x00, 0x04, 0x00, (unsigned char)restart});
  Append(b, {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00});
  Append(b, params);
  Append(b, data);
  Append(b, {0xFF, 0xD9});
  return b;
}

// The same on a table of one 1-bit code, for `symbol`.
Bytes OneScan(int width, int restart, int tableClass, int symbol, const Bytes& params, const Bytes& data)
{
  Bytes table = {0x01};
  Append(table, Bytes(15, 0x00));
  table.push_back((unsigned char)symbol);
  return OneScanOnTable(width, restart, tableClass, table, params, data);
}

TEST_F(ImageBytesDecode, ScansWhoseDataRunsOutOrBreaksTheCodeAreRefusedValidOnesDecode)
{
  // libjpeg's, 67 x 45 at 4:2:0 with a restart every 2 MCUs; its ten scans
  // are a DC first pass (0), AC first passes (1-4), an AC refinement (5), the
  // DC refinement (6) and the last AC refinements (7-9).
  const Bytes progressive = CorpusFile("jpeg_progressive_restart");
  const std::vector<ScanData> scans = ScansOf(progressive);
  ASSERT_EQ(scans.size(), 10u);
  auto cutTo4 = [&](size_t scan) { return Spliced(progressive, scans[scan].begin + 4, scans[scan].end); };
  size_t restart = scans[1].begin;
  while (!(progressive[restart] == 0xFF && progressive[restart + 1] == 0xD0))
    ++restart;
  Bytes overfull = CorpusFile("jpeg_baseline");
  ASSERT_EQ(overfull[177 + 1], 0xC4);
  overfull[177 + 5] = 3; // three 1-bit codes (there is room for two), three fewer of 3 bits
  overfull[177 + 7] = 2;
  Bytes secondFrame = progressive;
  secondFrame.insert(secondFrame.begin() + long(scans[0].begin - 14),
                     {0xFF, 0xC2, 0x00, 0x0B, 0x08, 0x00, 0x10, 0x00, 0x10, 0x01, 0x01, 0x11, 0x00});

  Bytes dcs;
  for (int i = 0; i < 16; ++i)
    Append(dcs, {0x7F, 0xFF, 0x00});
  struct Case {
    std::string what;
    Bytes bytes;
    int width; // 0: refused
  };
  std::vector<Case> cases = {
    {"progressive with restarts", progressive, 67},
    {"progressive grey with restarts", CorpusFile("jpeg_progressive_gray_restart"), 61},
    {"progressive, chroma sampled twice as tall", CorpusFile("jpeg_progressive_tall_chroma_restart"), 29},
    {"baseline with restarts", CorpusFile("jpeg_baseline_restart"), 67},
    {"DC first pass cut to 4 bytes", cutTo4(0), 0},
    {"AC first pass cut to 4 bytes", cutTo4(1), 0},
    {"AC refinement cut to 4 bytes", cutTo4(5), 0},
    {"DC refinement cut to 4 bytes", cutTo4(6), 0},
    {"cut inside the last scan", Bytes(progressive.begin(), progressive.begin() + long(scans[9].end) - 40), 0},
    {"a restart marker missing", Spliced(progressive, restart, restart + 2), 0},
    {"16 one bits: no DC code", Spliced(progressive, scans[0].begin, scans[0].begin, {0xFF, 0x00, 0xFF, 0x00}), 0},
    {"a scan on a table that overfills its code space", overfull, 0},
    // One 1-bit code and two of 2 bits fill the code space; the last, all
    // ones, is a DC difference of -4 (then 011).
    {"a scan on a table whose codes fill a length",
     OneScanOnTable(8, 0, 0, {0x01, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x03},
                    {0x00, 0x00, 0x00}, {0xDF, 0xFF, 0x00}),
     8},
    {"a second frame header", secondFrame, 0},
    // Each block's DC difference is 32767 (a code, then 15 one bits): the
    // second block's value needs 17 bits; scaled by 2^13, the ninth's 32.
    {"DC values summing past 16 bits", OneScan(128, 0, 0, 15, {0x00, 0x00, 0x0D}, dcs), 0},
    // One code then 14 one bits: an end-of-band run over 32767 blocks, which
    // the restart after the first two ends; the next block needs 15 bits.
    {"an end-of-band run ends at a restart",
     OneScan(32, 2, 1, 0xE0, {0x01, 0x3F, 0x00}, {0x7F, 0xFF, 0x00, 0xFF, 0xD0, 0x7F}), 0},
    // One block, its DC scaled by 2^13 after decoding: a difference of -4
    // (code, then 011) gives -32768, the least 16 bits hold; 4 (code, then
    // 100) gives 32768, one past the most.
    {"a DC value that fills 16 bits once scaled", OneScan(8, 0, 0, 3, {0x00, 0x00, 0x0D}, {0x3F, 0xFF, 0x00}), 8},
    {"a DC value that leaves 16 bits once scaled", OneScan(8, 0, 0, 3, {0x00, 0x00, 0x0D}, {0x4F, 0xFF, 0x00}), 0},
    // Three blocks, an end-of-band run in the first (code, then 1 bit r):
    // 2 + r blocks end with it. With r = 1 it covers all three; with r = 0 the
    // third block's code is still to come and the data (padding ones) has none.
    {"an end-of-band run over the last blocks", OneScan(24, 0, 1, 0x10, {0x01, 0x3F, 0x00}, {0x7F, 0xFF, 0x00}), 24},
    {"an end-of-band run a block short", OneScan(24, 0, 1, 0x10, {0x01, 0x3F, 0x00}, {0x3F, 0xFF, 0x00}), 0},
    {"fuzz input: a restart interval's data runs out", CorpusFile("jpeg_interval_runs_out"), 0},
    {"fuzz input: a DC value that overflows", CorpusFile("jpeg_progressive_dc_overflow"), 0},
  };
  // The coded bits fill an interval's data to its last byte, so that byte,
  // taken out before any restart or scan end, leaves a block short.
  for (const ScanData& scan : scans)
    for (size_t at = scan.begin + 1; at <= scan.end; ++at)
      if (progressive[at] == 0xFF && progressive[at + 1] != 0x00 && progressive[at - 1] != 0x00)
        cases.push_back({"the byte before " + std::to_string(at) + " taken out", Spliced(progressive, at - 1, at), 0});
  for (const auto& c : cases) {
    ASSERT_GT(c.bytes.size(), 50u) << c.what;
    Bytes bytes = c.bytes;
    EXPECT_EQ(ImageBytesSafeToDecode(bytes.data(), int(bytes.size())), c.width != 0) << c.what;
    const size_t textures = rec.textures.size();
    const int image = vgCreateImageMem(ctx, 0, bytes.data(), int(bytes.size()));
    EXPECT_EQ(image != 0, c.width != 0) << c.what;
    if (c.width != 0 && rec.textures.size() > textures) {
      EXPECT_EQ(rec.textures.back().w, c.width) << c.what;
    }
  }
}
} // namespace
