#include <gtest/gtest.h>

#include <random>
#include <string>

#include "FailingAllocator.h"
#include "UT_String.h"

using plugin::UT_String;
using testsupport::ScopedAllocationFailure;

TEST(UT_String, ANeverSetStringReadsAsEmptyTextNotNull)
{
  UT_String s;
  ASSERT_NE(s.Get(), nullptr);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);
}

TEST(UT_String, SettingEmptyTextKeepsTheAllocation)
{
  UT_String s("some text here");
  const int alloc = s.GetAlloc();
  for (const char* empty : {"", static_cast<const char*>(nullptr)}) {
    s.Set(empty);
    EXPECT_STREQ(s.Get(), "");
    EXPECT_EQ(s.GetAlloc(), alloc);
  }
}

TEST(UT_String, EditsMatchTheSameEditsOnStdString)
{
  struct Case {
    const char* start;
    const char* op;
    const char* text;
    int arg;
    const char* expect;
  };
  const Case cases[] = {
    {"hello", "set", "ab", 0, "ab"},
    {"hello", "set", "abcdef", 3, "abc"},
    {"hello", "append", " world", 0, "hello world"},
    {"hello", "append", "", 0, "hello"},
    {"", "append", "x", 0, "x"},
    {"hello", "insert", "XY", 0, "XYhello"},
    {"hello", "insert", "XY", 2, "heXYllo"},
    {"hello", "insert", "XY", 99, "helloXY"},
    {"hello", "insert", "XY", -4, "XYhello"},
    {"hello", "insert", "", 2, "hello"},
    {"hello", "insert", "XYZ", 1, "hXYZello"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " " << c.op << " " << c.text << " " << c.arg);
    UT_String s(c.start);
    const std::string op = c.op;
    if (op == "set")
      s.Set(c.text, c.arg);
    if (op == "append")
      s.Append(c.text, c.arg);
    if (op == "insert")
      s.Insert(c.text, c.arg);
    EXPECT_STREQ(s.Get(), c.expect);
    EXPECT_EQ(s.GetLength(), static_cast<int>(std::string(c.expect).size()));
  }
}

TEST(UT_String, OwnTextAsSourceIsCopiedBeforeTheTailMoves)
{
  struct Case {
    const char* op;
    int from;
    int count;
    int at;
    const char* expect;
  };
  // from/count pick the source inside "abcdef" itself.
  const Case cases[] = {
    {"insert", 3, 3, 0, "defabcdef"}, // source lies in the moved tail
    {"insert", 4, 2, 1, "aefbcdef"},   {"insert", 0, 2, 3, "abcabdef"}, {"insert", 0, 6, 6, "abcdefabcdef"},
    {"append", 2, 4, 0, "abcdefcdef"}, {"set", 2, 4, 0, "cdef"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.op << " " << c.from << "+" << c.count);
    UT_String s("abcdef");
    const std::string op = c.op;
    if (op == "insert")
      s.Insert(s.Get() + c.from, c.at, c.count);
    if (op == "append")
      s.Append(s.Get() + c.from, c.count);
    if (op == "set")
      s.Set(s.Get() + c.from, c.count);
    EXPECT_STREQ(s.Get(), c.expect);
  }
}

TEST(UT_String, AppendingItselfAcrossAReallocationYieldsTheTextTwice)
{
  std::string reference(150, '\0');
  for (int i = 0; i < 150; ++i)
    reference[i] = static_cast<char>('a' + i % 26);
  UT_String s(reference.c_str());
  const int alloc = s.GetAlloc();
  s.Append(s.Get());
  EXPECT_GT(s.GetAlloc(), alloc);
  EXPECT_EQ(std::string(s.Get()), reference + reference);
  s.Insert(s.Get() + 250, 10); // tail of itself, growing again
  EXPECT_EQ(std::string(s.Get()), (reference + reference).insert(10, (reference + reference).substr(250)));
}

TEST(UT_String, RandomEditsIncludingSelfReferencesMatchStdString)
{
  std::mt19937 rng(77);
  UT_String s;
  std::string ref;
  for (int step = 0; step < 3000; ++step) {
    const int len = static_cast<int>(ref.size());
    std::string piece(rng() % 40, 'x');
    for (char& ch : piece)
      ch = static_cast<char>('A' + rng() % 26);
    const bool self = len > 0 && rng() % 3 == 0;
    const int from = self ? static_cast<int>(rng() % len) : 0;
    const int count = self ? 1 + static_cast<int>(rng() % (len - from)) : static_cast<int>(piece.size());
    const char* src = self ? s.Get() + from : piece.c_str();
    const std::string text = self ? ref.substr(from, count) : piece;
    switch (rng() % 4) {
    case 0:
      s.Append(src, count);
      ref += text;
      break;
    case 1: {
      const int at = static_cast<int>(rng() % (len + 1));
      s.Insert(src, at, count);
      ref.insert(at, text);
      break;
    }
    case 2:
      if (rng() % 8 == 0) {
        s.Set(src, count);
        ref = text;
      }
      break;
    default:
      s.AppendFormatted(12, "%d;", step);
      ref += std::to_string(step).substr(0, 11) + ";";
      break;
    }
    if (ref.size() > 20000) {
      s.Set("");
      ref.clear();
    }
    ASSERT_EQ(std::string(s.Get()), ref) << "step " << step;
    ASSERT_EQ(s.GetLength(), static_cast<int>(ref.size()));
  }
}

TEST(UT_String, FormattedTextIsCutAtMaxLen)
{
  struct Case {
    int maxLen;
    const char* arg;
    const char* expect;
  };
  const Case cases[] = {
    {5, "abcdefgh", "abcde"},
    {8, "abcdefgh", "abcdefgh"},
    {32, "abc", "abc"},
    {0, "abc", ""},
  };
  for (const Case& c : cases) {
    UT_String s("previous");
    s.SetFormatted(c.maxLen, "%s", c.arg);
    EXPECT_STREQ(s.Get(), c.expect) << c.maxLen;
  }
}

TEST(UT_String, LongFormattedTextIsCutExactly)
{
  const std::string longText(1000, 'q');
  UT_String s("head:");
  s.AppendFormatted(600, "%s", longText.c_str());
  EXPECT_EQ(std::string(s.Get()), "head:" + longText.substr(0, 600));
  s.SetFormatted(8192, "%s|%s", longText.c_str(), longText.c_str());
  EXPECT_EQ(s.GetLength(), 2001);
}

TEST(UT_String, FormattingMayReadTheStringItself)
{
  UT_String s("core");
  s.SetFormatted(64, "<%s>", s.Get());
  EXPECT_STREQ(s.Get(), "<core>");
  const std::string big(300, 'z');
  s.Set(big.c_str());
  s.AppendFormatted(1000, "%s", s.Get());
  EXPECT_EQ(std::string(s.Get()), big + big);
}

TEST(UT_String, FormattingThatCannotGrowWritesNothing)
{
  UT_String s("kept");
  {
    ScopedAllocationFailure failing;
    s.SetFormatted(4000, "%s", "replacement");
    s.AppendFormatted(4000, "%d", 42);
    s.Append(std::string(500, 'x').c_str());
  }
  EXPECT_STREQ(s.Get(), "kept");
}

TEST(UT_String, ANulInsideTheSourceEndsTheText)
{
  UT_String s("0123456789");
  s.SetAtOffset(2, "ab\0cd", 5, 3);
  EXPECT_STREQ(s.Get(), "01ab234");
  EXPECT_EQ(s.GetLength(), 7);
  s.SetAtOffset(0, "\0xyz", 4, 0);
  EXPECT_STREQ(s.Get(), "");
  s.SetFormatted(10, "a%cb", 0);
  EXPECT_STREQ(s.Get(), "a");
  EXPECT_EQ(s.GetLength(), 1);
}

TEST(UT_String, OffsetsPastTheTextAreClampedToIt)
{
  UT_String s("abc");
  s.SetAtOffset(10, "XY", 2, 0);
  EXPECT_STREQ(s.Get(), "abcXY");
  s.SetAtOffset(1, "Q", 1, 100);
  EXPECT_STREQ(s.Get(), "aQbcXY");
  s.SetAtOffset(-1, "Z", 1, 0);
  EXPECT_STREQ(s.Get(), "aQbcXY");
}

TEST(UT_String, CopiesAreIndependent)
{
  UT_String a("one");
  UT_String b(a);
  a.Append(" two");
  EXPECT_STREQ(b.Get(), "one");
  b = a;
  EXPECT_STREQ(b.Get(), "one two");
}
