#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "FailingAllocator.h"
#include "IByteChunk.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

using plugin::IByteChunk;
using plugin::UT_String;
using testsupport::ScopedAllocationFailure;

namespace {

// Under AddressSanitizer the bytes between a chunk's size and the end of its
// first 4000-byte allocation are made unreadable, so a reader that looks past
// the size stops the test.
class PoisonedTail {
public:
  explicit PoisonedTail(IByteChunk& chunk)
  : mStart(chunk.GetData() ? chunk.GetData() + chunk.Size() : nullptr), mBytes(4000 - chunk.Size())
  {
#if defined(__SANITIZE_ADDRESS__)
    if (mStart)
      ASAN_POISON_MEMORY_REGION(mStart, mBytes);
#endif
  }
  ~PoisonedTail()
  {
#if defined(__SANITIZE_ADDRESS__)
    if (mStart)
      ASAN_UNPOISON_MEMORY_REGION(mStart, mBytes);
#endif
  }

private:
  uint8_t* mStart;
  int mBytes;
};

std::vector<uint8_t> Bytes(const IByteChunk& chunk)
{
  return std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + chunk.Size());
}

} // namespace

TEST(IByteChunk, ValuesAreStoredAsRawLittleEndianBytesAndStringsWithALength)
{
  IByteChunk chunk;
  const int32_t i = 0x01020304;
  const double one = 1.0;
  EXPECT_EQ(chunk.Put(&i), 4);
  EXPECT_EQ(chunk.PutStr("abc"), 11);
  EXPECT_EQ(chunk.Put(&one), 19);
  EXPECT_EQ(chunk.PutStr(""), 23);
  EXPECT_EQ(chunk.PutStr(nullptr), 27);
  const std::vector<uint8_t> expected = {4, 3, 2, 1,    3,    0, 0, 0, 'a', 'b', 'c', 0, 0, 0,
                                         0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0,   0,   0,   0, 0};
  EXPECT_EQ(Bytes(chunk), expected);
}

TEST(IByteChunk, EveryKindOfValueRoundTrips)
{
  std::mt19937_64 rng(42);
  IByteChunk chunk;
  std::vector<int64_t> ints;
  std::vector<double> doubles;
  std::vector<std::string> texts;
  for (int k = 0; k < 300; ++k) {
    ints.push_back(static_cast<int64_t>(rng()));
    doubles.push_back(std::ldexp(static_cast<double>(rng() % 1000003) - 500000, static_cast<int>(rng() % 200) - 100));
    texts.push_back(std::string(rng() % 50, static_cast<char>('a' + k % 26)));
    const uint8_t byte = static_cast<uint8_t>(k);
    const float f = static_cast<float>(doubles.back());
    ASSERT_GT(chunk.Put(&ints.back()), 0);
    ASSERT_GT(chunk.Put(&doubles.back()), 0);
    ASSERT_GT(chunk.PutStr(texts.back().c_str()), 0);
    ASSERT_GT(chunk.Put(&byte), 0);
    ASSERT_GT(chunk.Put(&f), 0);
  }
  int pos = 0;
  for (int k = 0; k < 300; ++k) {
    int64_t i = 0;
    double d = 0;
    UT_String s;
    uint8_t byte = 0;
    float f = 0;
    pos = chunk.Get(&i, pos);
    pos = chunk.Get(&d, pos);
    pos = chunk.GetStr(s, pos);
    pos = chunk.Get(&byte, pos);
    pos = chunk.Get(&f, pos);
    ASSERT_GT(pos, 0);
    EXPECT_EQ(i, ints[k]);
    EXPECT_EQ(d, doubles[k]);
    EXPECT_EQ(std::string(s.Get()), texts[k]);
    EXPECT_EQ(byte, static_cast<uint8_t>(k));
    EXPECT_EQ(f, static_cast<float>(doubles[k]));
  }
  EXPECT_EQ(pos, chunk.Size());
}

TEST(IByteChunk, EveryTruncationReturnsMinusOneWithoutReadingPastTheEnd)
{
  IByteChunk full;
  const int32_t a = -7;
  const double b = 3.25;
  const uint8_t c = 0xAB;
  const int64_t d = 0x1122334455667788;
  full.Put(&a);
  full.PutStr("hello");
  full.Put(&b);
  full.PutStr("");
  full.Put(&c);
  full.Put(&d);

  for (int length = 0; length <= full.Size(); ++length) {
    SCOPED_TRACE(testing::Message() << "length " << length);
    IByteChunk cut;
    cut.PutBytes(full.GetData(), length);
    PoisonedTail guard(cut);

    // Each reader: what it reads and how many bytes it needs.
    int32_t ra = 99;
    UT_String rs("untouched"), rs2("untouched");
    double rb = 99;
    uint8_t rc = 99;
    int64_t rd = 99;
    const std::function<int(int)> readers[] = {
      [&](int p) { return cut.Get(&ra, p); }, [&](int p) { return cut.GetStr(rs, p); },
      [&](int p) { return cut.Get(&rb, p); }, [&](int p) { return cut.GetStr(rs2, p); },
      [&](int p) { return cut.Get(&rc, p); }, [&](int p) { return cut.Get(&rd, p); },
    };
    const int ends[] = {4, 13, 21, 25, 26, 34};
    int pos = 0;
    for (int r = 0; r < 6; ++r) {
      const int next = readers[r](pos);
      if (ends[r] <= length) {
        ASSERT_EQ(next, ends[r]);
      } else {
        ASSERT_EQ(next, -1) << "reader " << r;
        break;
      }
      pos = next;
    }
    EXPECT_EQ(ra, length >= 4 ? -7 : 99);
    EXPECT_STREQ(rs.Get(), length >= 13 ? "hello" : "untouched");
    EXPECT_EQ(rb, length >= 21 ? 3.25 : 99);
    EXPECT_STREQ(rs2.Get(), length >= 25 ? "" : "untouched");
    EXPECT_EQ(rc, length >= 26 ? 0xAB : 99);
    EXPECT_EQ(rd, length >= 34 ? d : 99);
  }
}

TEST(IByteChunk, BadPositionsAndLengthsAreRefused)
{
  IByteChunk chunk;
  const int32_t negative = -1, huge = 0x7FFFFFFF, three = 3;
  chunk.Put(&negative);
  chunk.Put(&huge);
  chunk.Put(&three);
  chunk.PutBytes("ab", 2);
  UT_String s("keep");
  int32_t v = 0;
  struct Case {
    int pos;
    int result;
  };
  EXPECT_EQ(chunk.GetStr(s, 0), -1); // negative length
  EXPECT_EQ(chunk.GetStr(s, 4), -1); // length beyond any chunk
  EXPECT_EQ(chunk.GetStr(s, 8), -1); // one byte short
  EXPECT_STREQ(s.Get(), "keep");
  for (int pos : {-1, -4, 11, 14, 1000, 0x7FFFFFFF})
    EXPECT_EQ(chunk.Get(&v, pos), -1) << pos;
  EXPECT_EQ(chunk.GetBytes(&v, 0, chunk.Size()), chunk.Size());
  EXPECT_EQ(chunk.GetBytes(&v, -2, 0), -1);
}

TEST(IByteChunk, StoredStringsStopAtAnEmbeddedNul)
{
  IByteChunk chunk;
  const int32_t n = 5;
  chunk.Put(&n);
  chunk.PutBytes("ab\0cd", 5);
  UT_String s;
  EXPECT_EQ(chunk.GetStr(s, 0), 9);
  EXPECT_STREQ(s.Get(), "ab");
}

TEST(IByteChunk, AChunkCanBeAppendedToAnotherAndToItself)
{
  IByteChunk a, b;
  a.PutStr("first");
  b.PutStr("second");
  a.PutChunk(&b);
  UT_String s;
  EXPECT_EQ(a.GetStr(s, a.GetStr(s, 0)), a.Size());
  EXPECT_STREQ(s.Get(), "second");

  // Grow past the first allocation while copying from our own bytes.
  IByteChunk self;
  for (int i = 0; i < 750; ++i)
    self.Put(&i);
  const std::vector<uint8_t> once = Bytes(self);
  EXPECT_EQ(self.PutChunk(&self), 6000);
  std::vector<uint8_t> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(Bytes(self), twice);
  EXPECT_EQ(self.PutBytes(self.GetData() + 100, 3000), 9000);
  EXPECT_EQ(std::memcmp(self.GetData() + 6000, twice.data() + 100, 3000), 0);

  IByteChunk empty;
  EXPECT_EQ(a.PutChunk(&empty), a.Size());
  EXPECT_EQ(a.PutChunk(nullptr), 0);
}

TEST(IByteChunk, AFailedAppendLeavesTheChunkUnchanged)
{
  IByteChunk chunk;
  chunk.Resize(3990);
  for (int i = 0; i < 3990; ++i)
    chunk.GetData()[i] = static_cast<uint8_t>(i);
  const std::vector<uint8_t> before = Bytes(chunk);
  const std::string text(20, 't'); // its length fits the allocation, its bytes do not
  const double x = 1.0;
  {
    ScopedAllocationFailure failing;
    EXPECT_EQ(chunk.PutStr(text.c_str()), 0);
    EXPECT_EQ(Bytes(chunk), before);
    EXPECT_EQ(chunk.PutBytes(text.data(), 20), 0);
    chunk.Resize(3998);
    EXPECT_EQ(chunk.Put(&x), 0);
    EXPECT_EQ(chunk.Size(), 3998);
  }
}

TEST(IByteChunk, EqualityComparesSizeAndBytes)
{
  IByteChunk a, b, c, empty1, empty2;
  a.PutStr("x");
  b.PutStr("x");
  c.PutStr("y");
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a == c);
  EXPECT_TRUE(empty1 == empty2);
  EXPECT_FALSE(a == empty1);
  b.PutBytes("", 1);
  EXPECT_FALSE(a.IsEqual(b));
}

TEST(IByteChunk, ResizeZeroFillsAndClearEmpties)
{
  IByteChunk chunk;
  chunk.PutStr("abc");
  chunk.Resize(2);
  EXPECT_EQ(chunk.Resize(12), 12);
  EXPECT_EQ(Bytes(chunk), (std::vector<uint8_t>{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  chunk.Clear();
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(chunk.GetData(), nullptr);
}
