#include <CoreFoundation/CoreFoundation.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Utf8(CFStringRef s)
{
  char buffer[512];
  return s && CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<none>";
}

class CFValuesTest : public testing::Test {
protected:
  void SetUp() override { baseline = standin::LiveCFObjectCount(); }
  void TearDown() override { EXPECT_EQ(standin::LiveCFObjectCount(), baseline) << "CF objects leaked"; }
  long baseline = 0;
};

TEST_F(CFValuesTest, RetainAndReleaseMoveTheCountAndTheLastReleaseFrees)
{
  CFStringRef s = CFStringCreateWithCString(nullptr, "x", kCFStringEncodingUTF8);
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline + 1);
  EXPECT_EQ(CFGetRetainCount(s), 1);
  EXPECT_EQ(CFRetain(s), s);
  EXPECT_EQ(CFGetRetainCount(s), 2);
  CFRelease(s);
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline + 1);
  CFRelease(s);
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline);
}

TEST_F(CFValuesTest, RetainAndReleaseFromManyThreadsBalance)
{
  CFStringRef s = CFStringCreateWithCString(nullptr, "shared", kCFStringEncodingUTF8);
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([s] {
      for (int i = 0; i < kRounds; ++i) {
        CFRetain(s);
        CFRelease(s);
      }
    });
  }
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(CFGetRetainCount(s), 1);
  CFRelease(s);
}

TEST_F(CFValuesTest, ConstantsIgnoreRetainAndRelease)
{
  CFTypeRef constants[] = {CFSTR("literal"), kCFBooleanTrue, kCFBooleanFalse, kCFRunLoopCommonModes, kCFNull};
  for (CFTypeRef c : constants) {
    CFRelease(c);
    CFRelease(c);
    CFRetain(c);
  }
  EXPECT_EQ(CFSTR("literal"), CFSTR("literal")) << "equal literals are one object";
}

TEST_F(CFValuesTest, TypeIdsAreDistinctPerType)
{
  const std::set<CFTypeID> ids = {CFStringGetTypeID(),  CFNumberGetTypeID(),     CFBooleanGetTypeID(),
                                  CFDataGetTypeID(),    CFDictionaryGetTypeID(), CFArrayGetTypeID(),
                                  CFURLGetTypeID(),     CFBundleGetTypeID(),     CFRunLoopTimerGetTypeID(),
                                  CFRunLoopGetTypeID(), CFNullGetTypeID(),       CFAllocatorGetTypeID()};
  EXPECT_EQ(ids.size(), 12u);
  EXPECT_EQ(CFGetTypeID(CFSTR("s")), CFStringGetTypeID());
  EXPECT_EQ(CFGetTypeID(kCFBooleanTrue), CFBooleanGetTypeID());
  EXPECT_EQ(CFGetTypeID(CFRunLoopGetMain()), CFRunLoopGetTypeID());
}

TEST_F(CFValuesTest, StringsConvertBetweenEncodingsAndRefuseWhatCannotBeRepresented)
{
  struct Case {
    const char* bytes;
    CFStringEncoding in;
    CFIndex length; // UTF-16 units
    const char* utf8;
    bool asciiOk;
  } cases[] = {
    {"plain", kCFStringEncodingUTF8, 5, "plain", true},
    {"caf\xc3\xa9", kCFStringEncodingUTF8, 4, "caf\xc3\xa9", false},
    {"caf\xe9", kCFStringEncodingISOLatin1, 4, "caf\xc3\xa9", false},
    {"\xf0\x9f\x8e\xb5", kCFStringEncodingUTF8, 2, "\xf0\x9f\x8e\xb5", false}, // one character, a surrogate pair
    {"", kCFStringEncodingASCII, 0, "", true},
  };
  for (const Case& c : cases) {
    CFStringRef s = CFStringCreateWithCString(nullptr, c.bytes, c.in);
    ASSERT_NE(s, nullptr) << c.utf8;
    EXPECT_EQ(CFStringGetLength(s), c.length) << c.utf8;
    EXPECT_EQ(Utf8(s), c.utf8);
    char ascii[64];
    EXPECT_EQ(bool(CFStringGetCString(s, ascii, sizeof ascii, kCFStringEncodingASCII)), c.asciiOk) << c.utf8;
    CFRelease(s);
  }
}

TEST_F(CFValuesTest, MalformedTextGivesNoString)
{
  const char* bad[] = {"\xc3", "\xc0\x80", "\xed\xa0\x80", "a\xff"};
  for (const char* b : bad)
    EXPECT_EQ(CFStringCreateWithCString(nullptr, b, kCFStringEncodingUTF8), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, "\x80", kCFStringEncodingASCII), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);
}

TEST_F(CFValuesTest, GetCStringNeedsRoomForTheTerminator)
{
  CFStringRef s = CFStringCreateWithCString(nullptr, "abcd", kCFStringEncodingUTF8);
  char buffer[5];
  EXPECT_FALSE(CFStringGetCString(s, buffer, 4, kCFStringEncodingUTF8));
  EXPECT_TRUE(CFStringGetCString(s, buffer, 5, kCFStringEncodingUTF8));
  EXPECT_STREQ(buffer, "abcd");
  CFRelease(s);
}

TEST_F(CFValuesTest, CompareOrdersByCodeUnitsWithOptionalCaseFolding)
{
  struct Case {
    const char* a;
    const char* b;
    CFStringCompareFlags flags;
    CFComparisonResult expected;
  } cases[] = {{"abc", "abc", 0, kCFCompareEqualTo},
               {"abc", "abd", 0, kCFCompareLessThan},
               {"abc", "ab", 0, kCFCompareGreaterThan},
               {"ABC", "abc", 0, kCFCompareLessThan},
               {"ABC", "abc", kCFCompareCaseInsensitive, kCFCompareEqualTo}};
  for (const Case& c : cases) {
    CFStringRef a = CFStringCreateWithCString(nullptr, c.a, kCFStringEncodingUTF8);
    CFStringRef b = CFStringCreateWithCString(nullptr, c.b, kCFStringEncodingUTF8);
    EXPECT_EQ(CFStringCompare(a, b, c.flags), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(bool(CFEqual(a, b)), std::strcmp(c.a, c.b) == 0);
    CFRelease(a);
    CFRelease(b);
  }
}

TEST_F(CFValuesTest, CopyOfAnImmutableStringIsTheSameObjectRetained)
{
  CFStringRef s = CFStringCreateWithCString(nullptr, "name", kCFStringEncodingUTF8);
  CFStringRef c = CFStringCreateCopy(nullptr, s);
  EXPECT_EQ(c, s);
  EXPECT_EQ(CFGetRetainCount(s), 2);
  CFRelease(c);
  CFMutableStringRef m = CFStringCreateMutableCopy(nullptr, 0, s);
  CFStringRef frozen = CFStringCreateCopy(nullptr, m);
  EXPECT_NE(static_cast<CFTypeRef>(frozen), static_cast<CFTypeRef>(m));
  CFStringAppend(m, CFSTR("!"));
  EXPECT_EQ(Utf8(frozen), "name") << "the copy does not follow later changes";
  EXPECT_EQ(Utf8(m), "name!");
  for (CFTypeRef o : {CFTypeRef(s), CFTypeRef(m), CFTypeRef(frozen)})
    CFRelease(o);
}

TEST_F(CFValuesTest, FormatHandlesObjectsAndEveryIntegerWidth)
{
  CFStringRef name = CFStringCreateWithCString(nullptr, "Init", kCFStringEncodingUTF8);
  CFStringRef s =
    CFStringCreateWithFormat(nullptr, nullptr, CFSTR("AUPreset:\npreset number = %d\npreset name = %@"), 7, name);
  EXPECT_EQ(Utf8(s), "AUPreset:\npreset number = 7\npreset name = Init");
  CFRelease(s);
  s = CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%ld|%lu|%5.2f|%s|%%|%*d|%x|%lld"), -5L, 7UL, 3.14159, "txt", 4,
                               42, 255, 1LL << 40);
  EXPECT_EQ(Utf8(s), "-5|7| 3.14|txt|%|  42|ff|1099511627776");
  CFRelease(s);
  CFRelease(name);
}

TEST_F(CFValuesTest, NumbersKeepTheirValueAndRefuseLossyReads)
{
  const SInt32 big = 70000;
  CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt32Type, &big);
  SInt32 i32 = 0;
  SInt16 i16 = 0;
  double d = 0;
  EXPECT_TRUE(CFNumberGetValue(n, kCFNumberSInt32Type, &i32));
  EXPECT_EQ(i32, 70000);
  EXPECT_FALSE(CFNumberGetValue(n, kCFNumberSInt16Type, &i16)) << "70000 does not fit 16 bits";
  EXPECT_TRUE(CFNumberGetValue(n, kCFNumberFloat64Type, &d));
  EXPECT_EQ(d, 70000.0);
  EXPECT_EQ(CFNumberGetType(n), kCFNumberSInt32Type);
  EXPECT_FALSE(CFNumberIsFloatType(n));

  const double half = 2.5;
  CFNumberRef f = CFNumberCreate(nullptr, kCFNumberFloat64Type, &half);
  EXPECT_FALSE(CFNumberGetValue(f, kCFNumberSInt32Type, &i32)) << "2.5 is not an integer";
  EXPECT_EQ(i32, 2);
  const double seventyK = 70000.0;
  CFNumberRef g = CFNumberCreate(nullptr, kCFNumberDoubleType, &seventyK);
  EXPECT_TRUE(CFEqual(n, g)) << "equal values of different types are equal";
  EXPECT_EQ(CFNumberCompare(n, f, nullptr), kCFCompareGreaterThan);
  for (CFTypeRef o : {CFTypeRef(n), CFTypeRef(f), CFTypeRef(g)})
    CFRelease(o);
}

TEST_F(CFValuesTest, NumbersAtThe64BitEndsConvertWithoutUndefinedCasts)
{
  // 2^63 - 1 and -2^63 + 1 round to +-2^63 as doubles: not exact, and no cast
  // may take the rounded value back to an integer.
  struct IntCase {
    SInt64 value;
    bool exactAsDouble;
    bool exactAsFloat;
  };
  const IntCase ints[] = {
    {std::numeric_limits<SInt64>::max(), false, false},
    {std::numeric_limits<SInt64>::min(), true, true}, // -2^63 is a power of two
    {std::numeric_limits<SInt64>::min() + 1, false, false},
    {SInt64(1) << 53, true, true},
    {(SInt64(1) << 53) + 1, false, false},
    {(SInt64(1) << 24) + 1, true, false},
  };
  for (const IntCase& c : ints) {
    CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt64Type, &c.value);
    double d = 0;
    float f = 0;
    EXPECT_EQ(bool(CFNumberGetValue(n, kCFNumberFloat64Type, &d)), c.exactAsDouble) << c.value;
    EXPECT_EQ(d, static_cast<double>(c.value)) << c.value;
    EXPECT_EQ(bool(CFNumberGetValue(n, kCFNumberFloat32Type, &f)), c.exactAsFloat) << c.value;
    EXPECT_EQ(f, static_cast<float>(c.value)) << c.value;
    CFRelease(n);
  }
  // Floats beyond every integer and float range: clamped, never exact.
  struct FloatCase {
    double value;
    float asFloat;
    SInt64 asInt64;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const FloatCase floats[] = {
    {1e300, std::numeric_limits<float>::infinity(), std::numeric_limits<SInt64>::max()},
    {-1e300, -std::numeric_limits<float>::infinity(), std::numeric_limits<SInt64>::min()},
    {inf, std::numeric_limits<float>::infinity(), std::numeric_limits<SInt64>::max()},
    {9223372036854775808.0, 9223372036854775808.0f, std::numeric_limits<SInt64>::max()},
  };
  for (const FloatCase& c : floats) {
    CFNumberRef n = CFNumberCreate(nullptr, kCFNumberFloat64Type, &c.value);
    float f = 0;
    SInt64 i = 0;
    EXPECT_EQ(bool(CFNumberGetValue(n, kCFNumberFloat32Type, &f)), double(c.asFloat) == c.value) << c.value;
    EXPECT_EQ(f, c.asFloat) << c.value;
    EXPECT_FALSE(CFNumberGetValue(n, kCFNumberSInt64Type, &i)) << c.value;
    EXPECT_EQ(i, c.asInt64) << c.value;
    (void)CFHash(n);
    CFRelease(n);
  }
  // The largest float survives; a float equal to an integer is equal to it
  // and hashes alike, a rounded one is not.
  const double largest = std::numeric_limits<float>::max();
  CFNumberRef big = CFNumberCreate(nullptr, kCFNumberFloat64Type, &largest);
  float f = 0;
  EXPECT_TRUE(CFNumberGetValue(big, kCFNumberFloat32Type, &f));
  EXPECT_EQ(f, std::numeric_limits<float>::max());
  CFRelease(big);
  const SInt64 exact = SInt64(1) << 53, inexact = exact + 1;
  const double twoTo53 = 9007199254740992.0;
  CFNumberRef a = CFNumberCreate(nullptr, kCFNumberSInt64Type, &exact);
  CFNumberRef b = CFNumberCreate(nullptr, kCFNumberSInt64Type, &inexact);
  CFNumberRef c = CFNumberCreate(nullptr, kCFNumberFloat64Type, &twoTo53);
  EXPECT_TRUE(CFEqual(a, c));
  EXPECT_EQ(CFHash(a), CFHash(c));
  EXPECT_FALSE(CFEqual(b, c));
  CFRelease(a);
  CFRelease(b);
  CFRelease(c);
}

TEST_F(CFValuesTest, FourCharacterCodesRoundTripAsSignedIntegers)
{
  const SInt32 codes[] = {SInt32(0x61756678), SInt32(0x5A563630), SInt32(0x5A564E58), -1,
                          std::numeric_limits<SInt32>::min()};
  for (SInt32 code : codes) {
    CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt32Type, &code);
    SInt32 back = 0;
    EXPECT_TRUE(CFNumberGetValue(n, kCFNumberSInt32Type, &back));
    EXPECT_EQ(back, code);
    CFRelease(n);
  }
}

TEST_F(CFValuesTest, DataCopiesItsBytes)
{
  UInt8 bytes[4] = {1, 2, 3, 4};
  CFDataRef d = CFDataCreate(nullptr, bytes, 4);
  bytes[0] = 9;
  ASSERT_EQ(CFDataGetLength(d), 4);
  EXPECT_EQ(CFDataGetBytePtr(d)[0], 1);
  UInt8 out[2] = {};
  CFDataGetBytes(d, CFRangeMake(2, 2), out);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[1], 4);
  CFDataRef empty = CFDataCreate(nullptr, nullptr, 0);
  EXPECT_EQ(CFDataGetLength(empty), 0);
  EXPECT_EQ(CFDataCreate(nullptr, nullptr, 3), nullptr);
  CFRelease(d);
  CFRelease(empty);
}

TEST_F(CFValuesTest, TypeDictionaryRetainsKeysAndValuesUntilItGoes)
{
  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFStringRef key = CFStringCreateWithCString(nullptr, "version", kCFStringEncodingUTF8);
  const SInt32 v = 3;
  CFNumberRef value = CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
  CFDictionarySetValue(dict, key, value);
  EXPECT_EQ(CFGetRetainCount(key), 2);
  EXPECT_EQ(CFGetRetainCount(value), 2);
  CFRelease(key);
  CFRelease(value);
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("version")), value) << "found by an equal key";
  EXPECT_EQ(CFDictionaryGetCount(dict), 1);

  const SInt32 w = 4;
  CFNumberRef replacement = CFNumberCreate(nullptr, kCFNumberSInt32Type, &w);
  CFDictionaryAddValue(dict, CFSTR("version"), replacement);
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("version")), value) << "Add keeps the existing value";
  CFDictionarySetValue(dict, CFSTR("version"), replacement);
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("version")), replacement);
  CFRelease(replacement);
  CFDictionaryRemoveValue(dict, CFSTR("version"));
  EXPECT_EQ(CFDictionaryGetCount(dict), 0);
  EXPECT_FALSE(CFDictionaryContainsKey(dict, CFSTR("version")));
  CFRelease(dict);
}

TEST_F(CFValuesTest, CopyStringKeysAreCopiedSoLaterEditsDoNotMoveThem)
{
  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(nullptr, 0, &kCFCopyStringDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFMutableStringRef key = CFStringCreateMutable(nullptr, 0);
  CFStringAppendCString(key, "name", kCFStringEncodingUTF8);
  CFDictionarySetValue(dict, key, kCFBooleanTrue);
  CFStringAppendCString(key, "-changed", kCFStringEncodingUTF8);
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("name")), kCFBooleanTrue);
  EXPECT_EQ(CFGetRetainCount(key), 1) << "the dictionary holds a copy, not the key";
  CFRelease(key);
  CFRelease(dict);
}

// Raw records managed by a custom retain count, as the factory-preset array does.
struct Counted {
  int refs = 1;
  int number = 0;
  bool freed = false;
};
const void* RetainCounted(CFAllocatorRef, const void* v)
{
  ++static_cast<Counted*>(const_cast<void*>(v))->refs;
  return v;
}
void ReleaseCounted(CFAllocatorRef, const void* v)
{
  auto* c = static_cast<Counted*>(const_cast<void*>(v));
  if (--c->refs == 0)
    c->freed = true;
}
Boolean EqualCounted(const void* a, const void* b)
{
  return static_cast<const Counted*>(a)->number == static_cast<const Counted*>(b)->number;
}
CFStringRef DescribeCounted(const void* v)
{
  return CFStringCreateWithFormat(nullptr, nullptr, CFSTR("#%d"), static_cast<const Counted*>(v)->number);
}

TEST_F(CFValuesTest, ArrayHonoursCustomCallbacksForRetainReleaseEqualAndDescription)
{
  const CFArrayCallBacks callbacks = {0, RetainCounted, ReleaseCounted, DescribeCounted, EqualCounted};
  Counted items[3];
  for (int i = 0; i < 3; ++i)
    items[i].number = i;
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 3, &callbacks);
  for (Counted& c : items) {
    CFArrayAppendValue(array, &c);
    ReleaseCounted(nullptr, &c); // the array's reference is now the only one
  }
  for (const Counted& c : items)
    EXPECT_EQ(c.refs, 1);
  Counted probe;
  probe.number = 2;
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 3), &probe), 2) << "found through equal";
  CFStringRef description = CFCopyDescription(array);
  EXPECT_EQ(Utf8(description), "(\n    #0,\n    #1,\n    #2\n)");
  CFRelease(description);
  CFArrayRemoveValueAtIndex(array, 1);
  EXPECT_TRUE(items[1].freed);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 1), &items[2]);
  CFRelease(array);
  EXPECT_TRUE(items[0].freed);
  EXPECT_TRUE(items[2].freed);
}

TEST_F(CFValuesTest, ArrayWithoutCallbacksKeepsRawPointers)
{
  int a = 1, b = 2;
  const void* values[] = {&a, &b};
  CFArrayRef array = CFArrayCreate(nullptr, values, 2, nullptr);
  EXPECT_EQ(CFArrayGetCount(array), 2);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 1), &b);
  EXPECT_TRUE(CFArrayContainsValue(array, CFRangeMake(0, 2), &a));
  CFRelease(array);
}

TEST_F(CFValuesTest, TypeArrayReleasesItsObjectsWhenItGoes)
{
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  for (int i = 0; i < 3; ++i) {
    CFStringRef s = CFStringCreateWithFormat(nullptr, nullptr, CFSTR("item %d"), i);
    CFArrayAppendValue(array, s);
    CFRelease(s);
  }
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline + 4);
  CFRelease(array);
}

TEST_F(CFValuesTest, AllocatorBlocksAreCountedUntilReturned)
{
  const long before = standin::LiveCFAllocatorBlockCount();
  void* block = CFAllocatorAllocate(kCFAllocatorDefault, 40, 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(standin::LiveCFAllocatorBlockCount(), before + 1);
  CFAllocatorDeallocate(kCFAllocatorDefault, block);
  EXPECT_EQ(standin::LiveCFAllocatorBlockCount(), before);
  EXPECT_EQ(CFAllocatorAllocate(kCFAllocatorNull, 40, 0), nullptr);
}

TEST_F(CFValuesTest, FileUrlsKeepPosixPaths)
{
  CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, CFSTR("/Library/Audio/x.ttf"), kCFURLPOSIXPathStyle, false);
  CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
  EXPECT_EQ(Utf8(path), "/Library/Audio/x.ttf");
  EXPECT_EQ(Utf8(CFURLGetString(url)), "file:///Library/Audio/x.ttf");
  CFStringRef last = CFURLCopyLastPathComponent(url);
  EXPECT_EQ(Utf8(last), "x.ttf");
  CFURLRef parent = CFURLCreateCopyDeletingLastPathComponent(nullptr, url);
  EXPECT_TRUE(CFURLHasDirectoryPath(parent));
  EXPECT_EQ(Utf8(CFURLGetString(parent)), "file:///Library/Audio/");
  for (CFTypeRef o : {CFTypeRef(url), CFTypeRef(path), CFTypeRef(last), CFTypeRef(parent)})
    CFRelease(o);
}

TEST_F(CFValuesTest, AutoreleasedObjectsGoWhenTheMainLoopPasses)
{
  standin::DrainAutoreleasePools();
  CFAutorelease(CFStringCreateWithCString(nullptr, "temporary", kCFStringEncodingUTF8));
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline + 1);
  standin::PumpMainRunLoop();
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline + 1) << "not in the pass's own pool";
  standin::DrainAutoreleasePools();
}

TEST_F(CFValuesTest, DeepCopyOfAClassInfoTreeIsIndependentAndRefusesForeignTypes)
{
  CFMutableDictionaryRef info =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  const SInt32 version = 0x00030015;
  CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt32Type, &version);
  const UInt8 bytes[3] = {1, 2, 3};
  CFDataRef data = CFDataCreate(nullptr, bytes, 3);
  CFDictionarySetValue(info, CFSTR("version"), n);
  CFDictionarySetValue(info, CFSTR("data"), data);
  CFPropertyListRef copy = CFPropertyListCreateDeepCopy(nullptr, info, kCFPropertyListImmutable);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(CFEqual(copy, info));
  CFDictionaryRemoveValue(info, CFSTR("data"));
  EXPECT_EQ(CFDictionaryGetCount(static_cast<CFDictionaryRef>(copy)), 2) << "the copy does not follow the source";
  EXPECT_NE(CFDictionaryGetValue(static_cast<CFDictionaryRef>(copy), CFSTR("data")), data) << "data is copied";

  CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, CFSTR("/x"), kCFURLPOSIXPathStyle, false);
  CFDictionarySetValue(info, CFSTR("url"), url);
  EXPECT_EQ(CFPropertyListCreateDeepCopy(nullptr, info, kCFPropertyListImmutable), nullptr)
    << "a URL is not a property-list type";
  for (CFTypeRef o : {CFTypeRef(copy), CFTypeRef(info), CFTypeRef(n), CFTypeRef(data), CFTypeRef(url)})
    CFRelease(o);
}

} // namespace
