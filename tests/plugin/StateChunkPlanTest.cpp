// The container planner on its own: fast enough for a large damage loop.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "StateChunkFormat.h"
#include "StateTestPlugin.h"

namespace {

using testplug::Bytes;

// A container with an XML section of `xml` text and two curve sections.
std::vector<uint8_t> Container(const std::string& xml, uint32_t fpCount, uint32_t refCount, const std::string& name)
{
  Bytes body;
  const uint32_t xmlSize = 8 + uint32_t(xml.size());
  body.U32(1).Tag("ZQCM").Tag("ZQCS").U32(xmlSize).U32(1).U32(uint32_t(xml.size())).Text(xml).Pad(xmlSize & 1);
  body.Tag("ZQV0").U32(fpCount ? 8 + 16 * fpCount : 8).U32(3).U32(fpCount);
  for (uint32_t k = 0; k < 2 * fpCount; ++k)
    body.F64(k);
  const uint32_t refSize = refCount ? 12 + uint32_t(name.size()) + 16 * refCount : 8;
  body.Tag("ZQV1").U32(refSize).U32(3).U32(refCount);
  if (refCount) {
    body.U32(uint32_t(name.size())).Text(name);
    for (uint32_t k = 0; k < 2 * refCount; ++k)
      body.F64(k);
  }
  body.Pad(refSize & 1);
  Bytes all;
  all.Tag("RIFF").U32(uint32_t(body.b.size()));
  all.b.insert(all.b.end(), body.b.begin(), body.b.end());
  return all.b;
}

TEST(StateChunkPlan, AWellFormedContainerIsReadToItsEnd)
{
  const std::vector<uint8_t> bytes = Container("<a/>", 3, 3, "odd");
  const plugin::IByteChunk chunk = testplug::ToChunk(bytes);
  const statechunk::StatePlan plan = statechunk::PlanState(chunk, 0, 3, 3);
  EXPECT_EQ(plan.result, int(bytes.size()));
  EXPECT_TRUE(plan.xmlReached);
  EXPECT_EQ(plan.xmlPos, 28);
  EXPECT_TRUE(plan.fingerprint.fits);
  EXPECT_EQ(plan.fingerprint.magPos, 28 + 4 + 4 + 16);
  EXPECT_TRUE(plan.reference.fits);
  EXPECT_EQ(plan.reference.nameLength, 3u);
  EXPECT_EQ(plan.reference.magPos, plan.reference.namePos + 3);
}

TEST(StateChunkPlan, OtherCountsAreFoundButNotUsable)
{
  const plugin::IByteChunk chunk = testplug::ToChunk(Container("<a/>", 3, 2, "n"));
  const statechunk::StatePlan plan = statechunk::PlanState(chunk, 0, 4, 2);
  EXPECT_TRUE(plan.fingerprint.present && plan.fingerprint.countRead);
  EXPECT_FALSE(plan.fingerprint.matches);
  EXPECT_FALSE(plan.fingerprint.fits);
  EXPECT_TRUE(plan.reference.fits);
}

TEST(StateChunkPlan, ACurveThatOverrunsItsSectionIsNotUsable)
{
  std::vector<uint8_t> bytes = Container("<a/>", 3, 3, "nm");
  // Shrink the fingerprint section so that its last magnitude lies outside
  // it; the bytes stay in place.
  const size_t q = 28 + 4 + 4;
  const uint32_t smaller = 8 + 8 * 3 - 8;
  std::memcpy(bytes.data() + q + 4, &smaller, 4);
  const plugin::IByteChunk chunk = testplug::ToChunk(bytes);
  const statechunk::StatePlan plan = statechunk::PlanState(chunk, 0, 3, 3);
  EXPECT_TRUE(plan.fingerprint.matches);
  EXPECT_FALSE(plan.fingerprint.fits);
}

TEST(StateChunkPlan, RandomDamageKeepsEveryPositionInsideTheChunk)
{
  const std::vector<uint8_t> good = Container("<PresetXMLTree/>", 5, 5, "name");
  std::mt19937 rng(99);
  constexpr int kRounds = 20000;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<uint8_t> bytes = good;
    const int flips = 1 + int(rng() % 6);
    for (int f = 0; f < flips; ++f)
      bytes[rng() % bytes.size()] = uint8_t(rng());
    if (rng() % 3 == 0)
      bytes.resize(rng() % bytes.size());
    const plugin::IByteChunk chunk = testplug::ToChunk(bytes);
    const statechunk::StatePlan plan = statechunk::PlanState(chunk, 0, 5, 5);
    const int64_t size = int64_t(bytes.size());
    for (const statechunk::CurvePlan* c : {&plan.fingerprint, &plan.reference}) {
      if (!c->fits)
        continue;
      ASSERT_LE(c->magPos + 8 * int64_t(c->count), size) << round;
      ASSERT_GE(c->magPos, 0) << round;
    }
    if (plan.xmlReached) {
      // The text's length word may be cut off; its reader checks that.
      ASSERT_LE(plan.xmlPos, size) << round;
    }
    ASSERT_GE(plan.result, -1) << round;
    ASSERT_LE(plan.result, size) << round << ": a stop position past the bytes given";
  }
}

TEST(StateChunkPlan, AHeaderAnnouncingMoreThanTheBytesIsRefused)
{
  // 31 bytes: the header up to the XML version word and three bytes of the
  // text length, while the sizes announce far more.
  const std::vector<uint8_t> whole = Container(std::string(836, 'x'), 0, 0, "");
  const struct {
    size_t length;
    int want;
  } rows[] = {
    {31, -1},                     // cut inside the XML section
    {24 + 8 + 836, 24 + 8 + 836}, // cut where the fingerprint tag would be
    {24 + 8 + 836 + 6, -1},       // inside the fingerprint's size word
    {whole.size() - 4, -1},       // inside the reference section's count
    {whole.size(), int(whole.size())},
  };
  for (const auto& row : rows) {
    const plugin::IByteChunk chunk =
      testplug::ToChunk(std::vector<uint8_t>(whole.begin(), whole.begin() + long(row.length)));
    EXPECT_EQ(statechunk::PlanState(chunk, 0, 67, 67).result, row.want) << row.length;
  }
}

TEST(StateChunkPlan, WriterPatchesSizesAndPadsOddBlocks)
{
  plugin::IByteChunk chunk;
  const int container = statechunk::BeginContainer(chunk);
  const int section = statechunk::BeginSection(chunk, statechunk::kXMLTag, 1);
  chunk.PutBytes("abc", 3);
  ASSERT_TRUE(statechunk::EndBlock(chunk, section));
  ASSERT_TRUE(statechunk::EndBlock(chunk, container));
  Bytes want;
  want.Tag("RIFF").U32(24).U32(1).Tag("ZQCM").Tag("ZQCS").U32(7).U32(1).Text("abc").Pad(true);
  EXPECT_EQ(std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + chunk.Size()), want.b);
  EXPECT_FALSE(statechunk::EndBlock(chunk, 2));
  EXPECT_FALSE(statechunk::EndBlock(chunk, chunk.Size() + 1));
}

} // namespace
