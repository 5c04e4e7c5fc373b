#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

#include "IParam.h"

using plugin::IParam;
using plugin::UT_String;

namespace {
constexpr double kShapeTolerance = 1e-12;

std::string Shown(const IParam& p, double value, bool withTexts = true)
{
  UT_String out;
  p.GetDisplay(value, false, out, withTexts);
  return out.Get();
}
} // namespace

TEST(IParam, ANewParameterHoldsItsStartValues)
{
  IParam p;
  EXPECT_EQ(p.Type(), IParam::kTypeNone);
  EXPECT_EQ(p.Unit(), IParam::kUnitCustom);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(p.GetMin(), 0.0);
  EXPECT_EQ(p.GetMax(), 1.0);
  EXPECT_EQ(p.GetStep(), 1.0);
  EXPECT_STREQ(p.GetName(), "");
  EXPECT_EQ(p.GetDisplayType(), IParam::kDisplayLinear);
  EXPECT_EQ(plugin::kReset, 0);
  EXPECT_EQ(plugin::kDelegate, 4);
}

TEST(IParam, DefaultIsSnappedWhenSteppedButRestoredExactly)
{
  for (int flags : {0, int(IParam::kFlagStepped)}) {
    IParam p;
    p.InitDouble("Level", 33.3, 0.0, 100.0, 1.0, "", flags);
    EXPECT_EQ(p.Value(), flags ? 33.0 : 33.3);
    p.Set(70.0);
    p.SetToDefault();
    EXPECT_EQ(p.Value(), 33.3);
    EXPECT_EQ(p.GetPreviousValue(), 70.0);
  }
}

TEST(IParam, MaxIsRaisedToMinPlusStep)
{
  IParam p;
  p.InitDouble("Zero", 0.0, 0.0, 0.0, 1.0);
  EXPECT_EQ(p.GetMax(), 1.0);
}

TEST(IParam, PrecisionCountsTheDecimalsOfTheStep)
{
  const std::pair<double, int> cases[] = {
    {1.0, 0},  {2.0, 0},  {0.0, 0},   {0.5, 1},   {0.1, 1},    {0.3, 1},     {1.5, 1},       {0.01, 2},  {0.07, 2},
    {0.15, 2}, {0.25, 2}, {0.001, 3}, {0.005, 3}, {0.0001, 4}, {0.00001, 5}, {0.0000001, 6}, {1e-15, 6}, {1.0 / 3.0, 6},
  };
  for (auto [step, precision] : cases) {
    IParam p;
    p.InitDouble("p", 0.0, 0.0, 10.0, step);
    EXPECT_EQ(p.GetDisplayPrecision(), precision) << "step " << step;
  }
}

TEST(IParam, InitialisersSetTypeUnitLabelRangeAndStep)
{
  struct Row {
    const char* what;
    IParam::EParamType type;
    IParam::EParamUnit unit;
    const char* label;
    double min, max, step;
    bool stepped;
  };
  IParam ps[11];
  ps[0].InitBool("b", true, "lbl", 0, "", "Off", "On");
  ps[1].InitInt("i", 3, -5, 10, "st");
  ps[2].InitEnum("e", 1, 4, "x");
  ps[3].InitEnum("l", 0, {"a", "b", "c"});
  ps[4].InitFrequency("f", 1000, 20, 20000, 1);
  ps[5].InitSeconds("s", 1, 0, 10, 0.1);
  ps[6].InitMilliseconds("m", 5, 0, 100);
  ps[7].InitPercentage("pc", 50, 0, 100);
  ps[8].InitAngleDegrees("a", 0, -180, 180);
  ps[9].InitGain("g", 0, -24, 24, 0.5);
  ps[10].InitPitch("n", 0, 60, 72);
  const Row rows[] = {
    {"bool", IParam::kTypeBool, IParam::kUnitCustom, "lbl", 0, 1, 1, true},
    {"int", IParam::kTypeInt, IParam::kUnitCustom, "st", -5, 10, 1, true},
    {"enum", IParam::kTypeEnum, IParam::kUnitCustom, "x", 0, 3, 1, true},
    {"enum list", IParam::kTypeEnum, IParam::kUnitCustom, "", 0, 2, 1, true},
    {"frequency", IParam::kTypeDouble, IParam::kUnitFrequency, "Hz", 20, 20000, 1, false},
    {"seconds", IParam::kTypeDouble, IParam::kUnitSeconds, "Seconds", 0, 10, 0.1, false},
    {"ms", IParam::kTypeDouble, IParam::kUnitMilliseconds, "ms", 0, 100, 1, false},
    {"percent", IParam::kTypeDouble, IParam::kUnitPercentage, "%", 0, 100, 1, false},
    {"degrees", IParam::kTypeDouble, IParam::kUnitDegrees, "degrees", -180, 180, 1, false},
    {"gain", IParam::kTypeDouble, IParam::kUnitDB, "dB", -24, 24, 0.5, false},
    {"pitch", IParam::kTypeEnum, IParam::kUnitCustom, "", 0, 12, 1, true},
  };
  for (int i = 0; i < 11; ++i) {
    const Row& r = rows[i];
    SCOPED_TRACE(r.what);
    EXPECT_EQ(ps[i].Type(), r.type);
    EXPECT_EQ(ps[i].Unit(), r.unit);
    EXPECT_STREQ(ps[i].GetLabel(), r.label);
    double lo = -1, hi = -1;
    ps[i].GetBounds(lo, hi);
    EXPECT_EQ(lo, r.min);
    EXPECT_EQ(hi, r.max);
    EXPECT_EQ(ps[i].GetStep(), r.step);
    EXPECT_EQ(ps[i].GetStepped(), r.stepped);
  }
  EXPECT_EQ(ps[4].GetDisplayType(), IParam::kDisplayLog);
}

TEST(IParam, ATypeSetBeforeInitialisingIsKept)
{
  IParam p;
  p.InitInt("i", 1, 0, 4);
  p.InitDouble("again", 0.5, 0, 1, 0.5);
  EXPECT_EQ(p.Type(), IParam::kTypeInt);
}

TEST(IParam, DisplayShowsEveryTypeAndShape)
{
  IParam boolean, integer, enumerated, plainEnum, level, frequency, curve, percent, gain, negated, custom;
  boolean.InitBool("b", false, "", 0, "", "Off", "On");
  integer.InitInt("i", 0, -10, 10);
  enumerated.InitEnum("e", 0, 3, "", 0, "", "Low", "Mid", "High");
  plainEnum.InitEnum("pe", 0, 3);
  level.InitDouble("l", 0, -1, 1, 0.1);
  frequency.InitFrequency("f", 440, 20, 20000, 0.01);
  curve.InitDouble("c", 0, 0, 10, 0.001, "", 0, "", IParam::ShapePowCurve(3.0));
  percent.InitPercentage("p", 0, 0, 100);
  gain.InitGain("g", 0, -24, 24, 0.5, IParam::kFlagSignDisplay);
  negated.InitDouble("n", 0, 0, 10, 0.25, "", IParam::kFlagNegateDisplay);
  custom.InitDouble("d", 0, 0, 1, 0.01, "", 0, "", IParam::ShapeLinear(), IParam::kUnitCustom,
                    [](double v, UT_String& out) { out.SetFormatted(32, "<%.3f>", v); });
  struct Case {
    const IParam* p;
    double value;
    const char* shown;
  };
  const Case cases[] = {
    {&boolean, 0, "Off"},
    {&boolean, 1, "On"},
    {&integer, -3, "-3"},
    {&integer, 2.5, "3"},
    {&integer, -2.5, "-3"},
    {&integer, -0.4, "0"},
    {&integer, -0.0, "0"},
    {&enumerated, 2, "High"},
    {&enumerated, 1.5, "2"},
    {&plainEnum, 1, "1"},
    {&level, -0.0, "0.0"},
    {&level, 0.25, "0.2"},
    {&level, -1, "-1.0"},
    {&frequency, 1234.5678, "1234.57"},
    {&curve, 1.0 / 3.0, "0.333"},
    {&percent, 42.5, "43"},
    {&gain, 1.5, "+1.5"},
    {&gain, -1.5, "-1.5"},
    {&gain, 0, "0.0"},
    {&gain, -0.0, "0.0"},
    {&gain, 24, "+24.0"},
    {&negated, 2.5, "-2.50"},
    {&negated, -2.5, "2.50"},
    {&negated, 0, "0.00"},
    {&custom, 0.5, "<0.500>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Shown(*c.p, c.value), c.shown) << c.p->GetName() << " " << c.value;
  EXPECT_EQ(Shown(boolean, 1, false), "1");
}

TEST(IParam, DisplayOfANormalisedValueMapsAndConstrainsFirst)
{
  IParam p;
  p.InitInt("i", 0, 0, 8);
  UT_String out;
  p.GetDisplay(0.55, true, out);
  EXPECT_STREQ(out.Get(), "4");
  p.Set(6);
  p.GetDisplayWithLabel(out);
  EXPECT_STREQ(out.Get(), "6");
  IParam q;
  q.InitPercentage("p", 50, 0, 100);
  q.GetDisplayWithLabel(out);
  EXPECT_STREQ(out.Get(), "50 %");
}

TEST(IParam, DisplayMappingScalesAndShowsMinusInfinityBelowTheFloor)
{
  IParam p;
  p.InitDouble("m", 0, -1, 1, 0.1);
  p.SetDisplayMapping(IParam::kDisplayScaled, -60, 12, -59);
  struct Case {
    double value;
    const char* shown;
  };
  const Case scaled[] = {{-1, "-inf "}, {-0.5, "-30.0"}, {0.5, "6.0"}, {0, "0.0"}};
  for (const Case& c : scaled)
    EXPECT_EQ(Shown(p, c.value), c.shown) << c.value;
  p.SetDisplayMapping(IParam::kDisplayRemapped, 100, 200);
  EXPECT_EQ(Shown(p, 0.5), "150.0");
  EXPECT_EQ(p.StringToValue("150"), 0.5);
}

TEST(IParam, FormattedValuesNeverExceed32Characters)
{
  IParam p;
  p.InitDouble("big", 0, -1e300, 1e300, 0.000001);
  EXPECT_EQ(Shown(p, 1e40).size(), 32u);
  IParam q;
  const std::string longText(40, 'w');
  q.InitBool("b", false);
  q.SetDisplayText(0, longText.c_str());
  EXPECT_EQ(Shown(q, 0), longText.substr(0, 31));
}

TEST(IParam, ParsingReadsTextsNumbersAndThousands)
{
  IParam boolean, enumerated, frequency, integer, negated, level;
  boolean.InitBool("b", false, "", 0, "", "Off", "On");
  enumerated.InitEnum("e", 0, {"Low", "Mid", "High"});
  frequency.InitFrequency("f", 1000, 20, 20000, 1);
  integer.InitInt("i", 0, -100, 100);
  negated.InitDouble("n", 0, 0, 10, 0.5, "", IParam::kFlagNegateDisplay);
  level.InitDouble("l", 0, -1, 1, 0.01);
  struct Case {
    const IParam* p;
    const char* text;
    double value;
  };
  const Case cases[] = {
    {&boolean, "On", 1.0},           {&boolean, "Off", 0.0},      {&boolean, "1", 0.0},
    {&boolean, "on", 0.0},           {&enumerated, "High", 2.0},  {&enumerated, "2", 0.0},
    {&frequency, "1.5K", 1500.0},    {&frequency, "2k2", 2200.0}, {&frequency, "1k5K", 1500.0},
    {&frequency, "1.5 kHz", 1500.0}, {&frequency, "440", 440.0},  {&frequency, "5", 20.0},
    {&frequency, "90k", 20000.0},    {&frequency, "", 20.0},      {&frequency, nullptr, 20.0},
    {&integer, "12.6", 13.0},        {&integer, "-7", -7.0},      {&integer, "abc", 0.0},
    {&negated, "-2.5", 2.5},         {&negated, "3", 0.0},        {&level, "-0.5", -0.5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.p->StringToValue(c.text), c.value) << c.p->GetName() << " '" << (c.text ? c.text : "null") << "'";
}

TEST(IParam, ParsingSaysWhetherTheTextReadAsAValueAtAll)
{
  IParam gain, mode;
  gain.InitGain("g", 0, -24, 24, 0.1);
  mode.InitEnum("e", 0, {"Low", "High"});
  gain.Set(-3.0);
  struct Case {
    const IParam* p;
    const char* text;
    bool reads;
  } cases[] = {{&gain, "-6", true},   {&gain, "1.5 dB", true}, {&gain, "2k", true},   {&gain, "", false},
               {&gain, "abc", false}, {&gain, "-", false},     {&gain, "+", false},   {&gain, ".", false},
               {&gain, "nan", false}, {&gain, nullptr, false}, {&mode, "High", true}, {&mode, "1", false}};
  for (const Case& c : cases) {
    bool reads = !c.reads;
    c.p->StringToValue(c.text, &reads);
    EXPECT_EQ(reads, c.reads) << (c.text ? c.text : "null");
  }
}

TEST(IParam, DisplayAndParseRoundTripOverTheRange)
{
  IParam gain;
  gain.InitGain("g", 0, -24, 24, 0.5, IParam::kFlagSignDisplay | IParam::kFlagStepped);
  for (double v = -24; v <= 24; v += 0.5) {
    UT_String out;
    gain.GetDisplay(v, false, out);
    EXPECT_EQ(gain.StringToValue(out.Get()), v) << out.Get();
  }
}

TEST(IParam, LinearAndPowerShapesMatchTheirFormulas)
{
  IParam lin, cube, root;
  lin.InitDouble("lin", 0, -20, 60, 0.001);
  cube.InitDouble("cube", 0, 10, 1010, 0.001, "", 0, "", IParam::ShapePowCurve(3.0));
  root.InitDouble("root", 0, 0, 4, 0.001, "", 0, "", IParam::ShapePowCurve(0.5));
  for (int i = 0; i <= 64; ++i) {
    const double n = i / 64.0;
    // Reference forms: interpolation from the top, and powers via exp/log.
    EXPECT_NEAR(lin.FromNormalized(n), 60 - (1 - n) * 80, kShapeTolerance * 80);
    const double cubed = n == 0 ? 0 : std::exp(3 * std::log(n));
    EXPECT_NEAR(cube.GetShape().NormalizedToValue(n, cube), 10 + 1000 * cubed, kShapeTolerance * 1000);
    EXPECT_NEAR(root.GetShape().NormalizedToValue(n, root), 4 * std::sqrt(n), kShapeTolerance * 4);
    for (const IParam* p : {&lin, &cube, &root}) {
      const double value = p->GetShape().NormalizedToValue(n, *p);
      EXPECT_NEAR(p->GetShape().ValueToNormalized(value, *p), n, 1e-9) << p->GetName() << " " << n;
    }
  }
}

TEST(IParam, ExponentialShapeIsGeometricBetweenItsAnchors)
{
  IParam f;
  f.InitFrequency("f", 1000, 20, 20000, 0.001);
  for (int i = 0; i <= 30; ++i) {
    const double n = i / 30.0;
    // Equal steps in n multiply the value by equal ratios.
    const double expected = 20 * std::pow(1000.0, n);
    const double value = f.GetShape().NormalizedToValue(n, f);
    EXPECT_NEAR(value / expected, 1.0, 1e-12) << n;
    EXPECT_NEAR(f.GetShape().ValueToNormalized(expected, f), n, 1e-12);
  }
  EXPECT_NEAR(f.ToNormalized(std::sqrt(20.0 * 20000.0)), 0.5, 1e-12);
}

TEST(IParam, ExponentialShapeAnchorsAtTenToTheMinusEightWhenMinIsZero)
{
  IParam f;
  f.InitDouble("f", 1, 0, 100, 0.001, "", 0, "", IParam::ShapeExp());
  EXPECT_NEAR(f.GetShape().NormalizedToValue(0, f) / 1e-8, 1.0, kShapeTolerance * 100);
  EXPECT_NEAR(f.GetShape().NormalizedToValue(1, f) / 100, 1.0, kShapeTolerance * 100);
}

TEST(IParam, PowerCurveReportsItsDisplayTypeByExponent)
{
  const std::pair<double, IParam::EDisplayType> cases[] = {
    {3.0, IParam::kDisplayCubed},        {2.6, IParam::kDisplayCubed},      {2.5, IParam::kDisplaySquared},
    {2.0, IParam::kDisplaySquared},      {1.5, IParam::kDisplayLinear},     {1.0, IParam::kDisplayLinear},
    {2.0 / 3.0, IParam::kDisplayLinear}, {0.5, IParam::kDisplaySquareRoot}, {0.4, IParam::kDisplaySquareRoot},
    {0.3, IParam::kDisplayCubeRoot},
  };
  for (auto [exponent, type] : cases)
    EXPECT_EQ(IParam::ShapePowCurve(exponent).GetDisplayType(), type) << exponent;
}

TEST(IParam, DegenerateRangesAndStepsGiveNumbersNotNaN)
{
  IParam flat;
  flat.InitDouble("flat", 5, 5, 5, 0.0, "", IParam::kFlagStepped);
  EXPECT_EQ(flat.GetMax(), 5.0);
  EXPECT_EQ(flat.Value(), 5.0);
  EXPECT_EQ(flat.ToNormalized(5), 0.0);
  EXPECT_EQ(flat.FromNormalized(0.7), 5.0);
  EXPECT_EQ(flat.Constrain(7.3), 5.0);

  IParam unstepped;
  unstepped.InitDouble("u", 0.37, 0, 1, 0.0, "", IParam::kFlagStepped);
  EXPECT_EQ(unstepped.Value(), 0.37);
  unstepped.SetNormalized(0.123);
  EXPECT_DOUBLE_EQ(unstepped.Value(), 0.123);

  IParam flatCurve;
  flatCurve.InitDouble("fc", 2, 2, 2, 0.0, "", 0, "", IParam::ShapePowCurve(2.0));
  EXPECT_EQ(flatCurve.ToNormalized(2), 0.0);

  IParam expo;
  expo.InitFrequency("e", 10, 0, 100, 0.01);
  for (double v : {0.0, -5.0, -1e300, 1e-12}) {
    const double n = expo.GetShape().ValueToNormalized(v, expo);
    EXPECT_FALSE(std::isnan(n)) << v;
    EXPECT_EQ(expo.ToNormalized(v), 0.0) << v;
  }
  IParam flatExp;
  flatExp.InitDouble("fe", 3, 3, 3, 0.0, "", 0, "", IParam::ShapeExp());
  EXPECT_EQ(flatExp.ToNormalized(3), 0.0);
  EXPECT_DOUBLE_EQ(flatExp.FromNormalized(1), 3.0);

  IParam curve;
  curve.InitDouble("c", 0, 0, 1, 0.01, "", 0, "", IParam::ShapePowCurve(0.5));
  EXPECT_EQ(curve.GetShape().ValueToNormalized(-0.5, curve), 0.0);
}

TEST(IParam, SteppingRoundsHalvesAwayFromZero)
{
  IParam p;
  p.InitDouble("s", 0, -10, 10, 0.5, "", IParam::kFlagStepped);
  const std::pair<double, double> cases[] = {{0.25, 0.5}, {-0.25, -0.5}, {0.24, 0.0}, {1.74, 1.5}, {99, 10}};
  for (auto [in, out] : cases) {
    p.Set(in);
    EXPECT_EQ(p.Value(), out) << in;
  }
}

TEST(IParam, SetKeepsThePreviousValueAndNormalisedAccessAgrees)
{
  IParam p;
  p.InitDouble("v", 0, 0, 200, 0.1);
  p.Set(50);
  p.SetNormalized(0.75);
  EXPECT_EQ(p.GetPreviousValue(), 50.0);
  EXPECT_DOUBLE_EQ(p.Value(), 150.0);
  EXPECT_DOUBLE_EQ(p.GetNormalized(), 0.75);
  EXPECT_EQ(p.ToNormalized(500), 1.0);
  EXPECT_EQ(p.ToNormalized(-5), 0.0);
}

TEST(IParam, RandomiseStaysInRangeOnTheStepAndReachesEveryChoice)
{
  IParam e;
  e.InitEnum("e", 0, 4);
  IParam g;
  g.InitGain("g", 0, -12, 12, 0.5, IParam::kFlagStepped);
  std::srand(1234);
  std::set<double> seen;
  for (int i = 0; i < 400; ++i) {
    e.Randomise();
    g.Randomise();
    seen.insert(e.Value());
    EXPECT_GE(g.Value(), -12.0);
    EXPECT_LE(g.Value(), 12.0);
    EXPECT_EQ(std::fmod(g.Value() * 2, 1.0), 0.0);
  }
  EXPECT_EQ(seen, (std::set<double>{0, 1, 2, 3}));
}

TEST(IParam, DisplayTextsKeepTheFirstEntryPerValueAndMapBack)
{
  IParam p;
  p.InitEnum("e", 0, 3);
  p.SetDisplayText(0, "Zero");
  p.SetDisplayText(0, "Again");
  p.SetDisplayText(2, "Two");
  EXPECT_EQ(p.NDisplayTexts(), 3);
  EXPECT_STREQ(p.GetDisplayText(0), "Zero");
  EXPECT_STREQ(p.GetDisplayText(1), "");
  double v = -1;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(2, &v), "Two");
  EXPECT_EQ(v, 2.0);
  EXPECT_STREQ(p.GetDisplayTextAtIdx(3, &v), "");
  EXPECT_TRUE(p.MapDisplayText("Again", &v));
  EXPECT_EQ(v, 0.0);
  EXPECT_FALSE(p.MapDisplayText("None", &v));
}

TEST(IParam, PitchValuesAreNamedByNoteAndOctave)
{
  IParam p, c4;
  p.InitPitch("pitch", 0, 58, 73);
  c4.InitPitch("pitch", 0, 60, 61, 0, "", true);
  const std::pair<double, const char*> cases[] = {{0, "A#2"}, {1, "B 2"},  {2, "C 3"}, {3, "C#3"},
                                                  {9, "G 3"}, {14, "C 4"}, {15, "C#4"}};
  for (auto [value, text] : cases)
    EXPECT_EQ(Shown(p, value), text) << value;
  EXPECT_EQ(Shown(c4, 0), "C 4");
  IParam low;
  low.InitPitch("low", 0, 0, 1);
  EXPECT_EQ(Shown(low, 0), "C -2");
}

TEST(IParam, InitFromParamCopiesTheDefinitionUnderANewName)
{
  IParam src;
  src.InitDouble("Left Gain", 1, -6, 6, 0.5, "dB", IParam::kFlagSignDisplay, "Left", IParam::ShapePowCurve(2.0),
                 IParam::kUnitDB);
  src.SetDisplayText(0, "Unity");
  struct Case {
    const char* search;
    const char* replace;
    const char* group;
    const char* name;
    const char* newGroup;
  };
  const Case cases[] = {
    {"Left", "Right", "Right", "Right Gain", "Right"},
    {"", "X", "", "Left Gain", "Left"},
    {"Mid", "Side", "", "Left Gain", "Left"},
  };
  for (const Case& c : cases) {
    IParam copy;
    copy.InitFromParam(src, c.search, c.replace, c.group);
    EXPECT_STREQ(copy.GetName(), c.name);
    EXPECT_STREQ(copy.GetGroup(), c.newGroup);
    EXPECT_STREQ(copy.GetLabel(), "dB");
    EXPECT_EQ(copy.Unit(), IParam::kUnitDB);
    EXPECT_EQ(copy.Type(), IParam::kTypeDouble);
    EXPECT_EQ(copy.GetFlags(), IParam::kFlagSignDisplay);
    EXPECT_EQ(copy.GetDisplayType(), IParam::kDisplaySquared);
    EXPECT_EQ(copy.GetDefault(), 1.0);
    EXPECT_EQ(Shown(copy, 0), "Unity");
  }
  src.InitFromParam(src, "Gain", "Trim");
  EXPECT_STREQ(src.GetName(), "Left Trim");
  EXPECT_EQ(src.NDisplayTexts(), 2);
}

TEST(IParam, NamesAreCutTo31Characters)
{
  IParam p;
  const std::string longName(50, 'n');
  p.InitDouble(longName.c_str(), 0, 0, 1, 0.1, longName.c_str(), 0, longName.c_str());
  EXPECT_EQ(std::string(p.GetName()), longName.substr(0, 31));
  EXPECT_EQ(std::string(p.GetLabel()), longName.substr(0, 31));
  EXPECT_EQ(std::string(p.GetGroup()), longName.substr(0, 31));
}

TEST(IParam, JSONDescribesTheParameter)
{
  IParam gain, none;
  gain.InitGain("Gain", -3, -24, 24, 0.5);
  UT_String out("[");
  gain.GetJSON(out, 7);
  EXPECT_STREQ(out.Get(), "[{\"id\":7, \"name\":\"Gain\", \"type\":\"float\", \"min\":-24.000000, "
                          "\"max\":24.000000, \"default\":-3.000000, \"rate\":\"control\"}");
  UT_String plain;
  none.GetJSON(plain, 0);
  EXPECT_STREQ(plain.Get(), "{\"id\":0, \"name\":\"\", \"min\":0.000000, \"max\":1.000000, "
                            "\"default\":0.000000, \"rate\":\"control\"}");
  IParam quoted;
  quoted.InitBool("Say \"hi\"\\", false);
  UT_String escaped;
  quoted.GetJSON(escaped, 1);
  EXPECT_NE(std::string(escaped.Get()).find("\"name\":\"Say \\\"hi\\\"\\\\\", \"type\":\"bool\""), std::string::npos)
    << escaped.Get();
}

namespace {

TEST(IParam, ValuesThatAreNoFiniteNumberAreRefusedEverywhere)
{
  IParam p;
  p.InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
  p.Set(3.0);
  p.Set(-2.0);
  const double inf = HUGE_VAL, nan = std::nan("");
  for (double bad : {nan, -nan, inf, -inf}) {
    EXPECT_FALSE(p.Set(bad)) << bad;
    EXPECT_FALSE(p.SetNormalized(bad)) << bad;
    EXPECT_EQ(p.Value(), -2.0) << bad;
    EXPECT_EQ(p.GetPreviousValue(), 3.0) << bad;
  }
  // Text that reads as no finite number gives the current value.
  for (const char* text : {"nan", "NAN(1)", "inf", "-infinity", "1e999", "1e999k"}) {
    EXPECT_EQ(p.StringToValue(text), -2.0) << text;
  }
  EXPECT_TRUE(p.Set(1e300));
  EXPECT_EQ(p.Value(), 24.0); // large but finite: clamped as ever
}

} // namespace
