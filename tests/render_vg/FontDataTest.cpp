#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "FontFiles.h"
#include "FontStash.h"

namespace {

FSTcontext* MakeStash()
{
  FSTparams p{};
  p.width = 512;
  p.height = 512;
  p.flags = FST_ZERO_TOPLEFT;
  return fstCreateInternal(&p);
}

unsigned char* MallocCopy(const std::vector<unsigned char>& bytes)
{
  auto* p = static_cast<unsigned char*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
  if (!bytes.empty())
    std::memcpy(p, bytes.data(), bytes.size());
  return p;
}

void Put16(std::vector<unsigned char>& b, size_t at, unsigned v)
{
  b[at] = static_cast<unsigned char>(v >> 8);
  b[at + 1] = static_cast<unsigned char>(v);
}

void Put32(std::vector<unsigned char>& b, size_t at, unsigned v)
{
  Put16(b, at, v >> 16);
  Put16(b, at + 2, v & 0xffff);
}

size_t TableRecord(const std::vector<unsigned char>& b, const char* tag)
{
  const unsigned numTables = b[4] << 8 | b[5];
  for (unsigned i = 0; i < numTables; i++)
    if (std::memcmp(&b[12 + 16 * i], tag, 4) == 0)
      return 12 + 16 * i;
  return 0;
}

// Measures and draws every printable ASCII character and a few others.
void Exercise(FSTcontext* s, int font)
{
  fstSetFont(s, font);
  fstSetSize(s, 24.0f);
  std::string text;
  for (char c = 32; c < 127; c++)
    text += c;
  text += "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  float bounds[4];
  fstTextBounds(s, 0, 0, text.c_str(), nullptr, bounds);
  FSTtextIter it;
  FSTquad q;
  if (fstTextIterInit(s, &it, 0, 0, text.c_str(), nullptr, FST_GLYPH_BITMAP_REQUIRED))
    while (fstTextIterNext(s, &it, &q)) {}
  fstVertMetrics(s, nullptr, nullptr, nullptr);
}

} // namespace

TEST(FontData, DamagedHeadersAreRefusedAndTheirBytesFreedOnce)
{
  const std::vector<unsigned char> roboto = ReadFileBytes(kRobotoPath);
  ASSERT_FALSE(roboto.empty());
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"shorter than a header", std::vector<unsigned char>(roboto.begin(), roboto.begin() + 11)});
  cases.push_back({"cut after the table directory", std::vector<unsigned char>(roboto.begin(), roboto.begin() + 400)});
  {
    std::vector<unsigned char> b = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 9, 0, 0};
    cases.push_back({"collection shorter than its face list", b});
  }
  {
    std::vector<unsigned char> b = roboto;
    Put16(b, 4, 0xffff);
    cases.push_back({"more tables than bytes", b});
  }
  {
    std::vector<unsigned char> b = roboto;
    Put32(b, TableRecord(b, "glyf") + 12, 0x7fffffff);
    cases.push_back({"table longer than the file", b});
  }
  {
    std::vector<unsigned char> b = roboto;
    std::memcpy(&b[TableRecord(b, "glyf")], "gXyf", 4);
    cases.push_back({"no TrueType outlines", b});
  }
  {
    std::vector<unsigned char> b = roboto;
    const size_t hhea = (b[TableRecord(b, "hhea") + 8] << 24 | b[TableRecord(b, "hhea") + 9] << 16 |
                         b[TableRecord(b, "hhea") + 10] << 8 | b[TableRecord(b, "hhea") + 11]);
    Put16(b, hhea + 34, 0);
    cases.push_back({"no horizontal metrics", b});
  }
  {
    std::vector<unsigned char> b = roboto;
    const size_t rec = TableRecord(b, "hhea");
    const size_t hhea = (b[rec + 8] << 24 | b[rec + 9] << 16 | b[rec + 10] << 8 | b[rec + 11]);
    Put16(b, hhea + 4, 0);
    Put16(b, hhea + 6, 0);
    cases.push_back({"zero line height", b});
  }
  for (const Case& c : cases) {
    FSTcontext* s = MakeStash();
    // Owned bytes of a refused font are freed by the stash; the sanitizer reports a leak or a double free.
    EXPECT_EQ(fstAddFontMem(s, "bad", MallocCopy(c.bytes), static_cast<int>(c.bytes.size()), 0, 1), -1) << c.what;
    EXPECT_EQ(s->nfonts, 0) << c.what;
    EXPECT_EQ(fstAddFontMem(s, "good", MallocCopy(roboto), static_cast<int>(roboto.size()), 0, 1), 0) << c.what;
    fstDeleteInternal(s);
  }
}

TEST(FontData, AFileThatIsNoFontIsRefusedWithoutADoubleFree)
{
  const std::string path = ::testing::TempDir() + "not_a_font.ttf";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("this is no font at all, just some words in a file", f);
  std::fclose(f);
  FSTcontext* s = MakeStash();
  EXPECT_EQ(fstAddFont(s, "x", path.c_str(), 0), -1);
  EXPECT_EQ(fstAddFont(s, "x", "/nonexistent/font.ttf", 0), -1);
  EXPECT_EQ(fstAddFont(s, "x", kRobotoPath, 1), -1); // a single face has no index 1
  EXPECT_EQ(fstAddFont(s, "x", kRobotoPath, 0), 0);
  fstDeleteInternal(s);
}

TEST(FontData, CorruptedFontsNeverCrashMeasuringOrDrawing)
{
  const std::vector<unsigned char> original = ReadFileBytes(kRobotoPath);
  ASSERT_FALSE(original.empty());
  std::mt19937 rng(20261207);
  std::uniform_int_distribution<size_t> anywhere(0, original.size() - 1);
  std::uniform_int_distribution<size_t> header(0, 2047);
  std::uniform_int_distribution<int> byte(0, 255);
  int accepted = 0;
  const unsigned numTables = original[4] << 8 | original[5];
  std::uniform_int_distribution<unsigned> table(0, numTables - 1);
  const int rounds = std::getenv("FONT_FUZZ_ROUNDS") ? std::atoi(std::getenv("FONT_FUZZ_ROUNDS")) : 400;
  for (int round = 0; round < rounds; round++) {
    std::vector<unsigned char> b = original;
    for (int i = 0; i < 4; i++)
      b[header(rng)] = static_cast<unsigned char>(byte(rng));
    // Some damage inside one table, where the parser trusts offsets and counts.
    const size_t rec = 12 + 16 * table(rng);
    const size_t off = original[rec + 8] << 24 | original[rec + 9] << 16 | original[rec + 10] << 8 | original[rec + 11];
    const size_t len =
      original[rec + 12] << 24 | original[rec + 13] << 16 | original[rec + 14] << 8 | original[rec + 15];
    std::uniform_int_distribution<size_t> inside(off, off + (len > 0 ? len - 1 : 0));
    for (int i = 0; i < 8; i++)
      b[inside(rng)] = static_cast<unsigned char>(byte(rng));
    for (int i = 0; i < 8; i++)
      b[anywhere(rng)] = static_cast<unsigned char>(byte(rng));
    FSTcontext* s = MakeStash();
    const int font = fstAddFontMem(s, "fuzz", MallocCopy(b), static_cast<int>(b.size()), 0, 1);
    if (font >= 0) {
      accepted++;
      Exercise(s, font);
    }
    fstDeleteInternal(s);
  }
  // Most rounds leave the directory intact, so the glyph checks get exercised too.
  EXPECT_GT(accepted, 30);
}
