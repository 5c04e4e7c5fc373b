// The in-place XML tokenizer and the number scanner.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "SVGTestSupport.h"

using namespace svgtest;

namespace {

// Records every callback as "<name a=v ...>", "</name>" or "text".
struct Recorder {
  std::vector<std::string> events;

  static void Start(void* ud, const char* el, const char** attr)
  {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "<" + std::string.
    std::string e = "<";
    e += el;
    for (int i = 0; attr[i]; i += 2) {
      e += ' ';
      e += attr[i];
      e += '=';
      e += attr[i + 1];
    }
    static_cast<Recorder*>(ud)->events.push_back(e + ">");
  }
  static void End(void* ud, const char* el)
  {
    static_cast<Recorder*>(ud)->events.push_back("</" + std::string(el) + ">");
  }
  static void Content(void* ud, const char* s) { static_cast<Recorder*>(ud)->events.push_back(s); }
};

std::vector<std::string> Tokenize(const std::string& text)
{
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');
  Recorder r;
  EXPECT_EQ(svgParseXML(buf.data(), Recorder::Start, Recorder::End, Recorder::Content, &r), 1);
  return r.events;
}

using Events = std::vector<std::string>;

} // namespace

TEST(SVGTokenizer, ElementsAttributesAndContentAsTheTextGivesThem)
{
  const struct {
    const char* text;
    Events expected;
  } cases[] = {
    {"", {}},
    {"<a x=\"1\" y='2'>hi</a>", {"<a x=1 y=2>", "hi", "</a>"}},
    {"  <a>\n  text </a>", {"<a>", "text ", "</a>"}},
    // Self-closing, with and without a space before "/>".
    {"<rect width='5'/>", {"<rect width=5>", "</rect>"}},
    {"<rect/><g />", {"<rect>", "</rect>", "<g>", "</g>"}},
    // '>' and the other quote inside a value belong to the value.
    {"<a id=\"x>y\" t='it\"s'/>", {"<a id=x>y t=it\"s>", "</a>"}},
    // Comments, character data and declarations are skipped whole.
    {"<!-- a > <b/> --><c/>", {"<c>", "</c>"}},
    {"<![CDATA[ <b/> > ]]><c/>", {"<c>", "</c>"}},
    {"<?xml version='1.0'?><!DOCTYPE svg><c/>", {"<c>", "</c>"}},
    {"<!-- never closed <b/>", {}},
    // A value without its closing quote ends the text; no element.
    {"<a b='1>", {}},
    {"< >", {}},
    // A name without "=" takes the next quoted value, as the scanner reads it.
    {"<a b c='1'>", {"<a b=1>"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Tokenize(c.text), c.expected) << c.text;
}

TEST(SVGTokenizer, StopsAt127AttributePairsButStillClosesTheTag)
{
  std::string text = "<g";
  for (int i = 0; i < 130; i++)
    text += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
  text += " />";
  const Events events = Tokenize(text);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1], "</g>");
  EXPECT_NE(events[0].find(" a126=126>"), std::string::npos);
  EXPECT_EQ(events[0].find("a127"), std::string::npos);
}

TEST(SVGNumber, ScanningStopsWhereTheNumberEnds)
{
  const struct {
    const char* text;
    const char* item;
    const char* rest;
    double value;
    int units;
  } cases[] = {
    {"1.5.5", "1.5", ".5", 1.5, kSVGUnitsUser},
    {"-.5e-1", "-.5e-1", "", -0.05, kSVGUnitsUser},
    {"2em", "2", "em", 2.0, kSVGUnitsEm},
    {"3ex", "3", "ex", 3.0, kSVGUnitsEx},
    {"1e", "1e", "", 1.0, kSVGUnitsUser},
    {"1e+", "1e+", "", 1.0, kSVGUnitsUser},
    {"+7.", "+7.", "", 7.0, kSVGUnitsUser},
    {"-", "-", "", 0.0, kSVGUnitsUser},
    {".", ".", "", 0.0, kSVGUnitsUser},
    {"12px", "12", "px", 12.0, kSVGUnitsPx},
    {"50%", "50", "%", 50.0, kSVGUnitsPercent},
    {"1in", "1", "in", 1.0, kSVGUnitsIn},
    {"4.5E2mm", "4.5E2", "mm", 450.0, kSVGUnitsMm},
    {"1p", "1", "p", 1.0, kSVGUnitsUser},
    {"0e999", "0e999", "", 0.0, kSVGUnitsUser},
    {"abc", "", "abc", 0.0, kSVGUnitsUser},
  };
  for (const auto& c : cases) {
    char item[64];
    const char* rest = svgScanNumber(c.text, item);
    EXPECT_STREQ(item, c.item) << c.text;
    EXPECT_STREQ(rest, c.rest) << c.text;
    EXPECT_DOUBLE_EQ(svgParseNumber(item), c.value) << c.text;
    EXPECT_EQ(svgParseCoordinate(c.text).units, c.units) << c.text;
  }
}

TEST(SVGNumber, LongDigitRunsKeepTheirMagnitude)
{
  // 30 digits overflow any integer type; the value must still be 1.23...e29.
  const std::string digits = "123456789012345678901234567890";
  EXPECT_NEAR(svgParseNumber(digits.c_str()) / 1.2345678901234567e29, 1.0, 1e-12);
  EXPECT_NEAR(svgParseNumber(("-" + digits + ".5").c_str()) / -1.2345678901234567e29, 1.0, 1e-12);
  EXPECT_NEAR(svgParseNumber(("0." + digits).c_str()), 0.12345678901234568, 1e-15);
  // More than an item holds: the whole number is read, and the item holds
  // its value in 63 characters at most.
  char item[64];
  const std::string longText(100, '9');
  EXPECT_EQ(svgScanNumber(longText.c_str(), item), longText.c_str() + 100);
  EXPECT_LE(std::string(item).size(), 63u);
  EXPECT_NEAR(svgParseNumber(item) / 1e100, 1.0, 1e-12);
  EXPECT_TRUE(std::isinf(svgParseNumber("1e999")));
  EXPECT_EQ(svgParseNumber("1e-999"), 0.0);
}

TEST(SVGNumber, FractionDigitsCountWhereverAnExponentMovesThePoint)
{
  const std::string zeros30(30, '0');
  const struct {
    std::string text;
    double value;
  } cases[] = {
    {"0.000000000000000000000015e22", 0.15},
    {"0." + zeros30 + "12345e31", 1.2345},
    {"-." + zeros30 + "5e31", -5.0},
    {"1" + zeros30 + "e-30", 1.0},
    {"12" + zeros30 + ".5e-31", 1.2},
    {"123.456e-2", 1.23456},
    {"2.5E+1", 25.0},
    {"1e", 1.0},
    {".", 0.0},
    {"-.e3", 0.0},
    {"0e5", 0.0},
    {"007.50", 7.5},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(svgParseNumber(c.text.c_str()), c.value, 1e-12 * std::max(1.0, std::fabs(c.value))) << c.text;
  // Scanned first, as every reader does: numbers longer than the scanner's
  // item keep their magnitude, their exponent and what follows them.
  const std::string zeros70(70, '0');
  std::string digits80;
  for (int i = 0; i < 8; i++)
    digits80 += "1234567890";
  const struct {
    std::string text;
    float value;
    int units;
  } scanned[] = {
    {"0.000000000000000000000015e22px", 0.15f, kSVGUnitsPx},
    {"0." + zeros70 + "15e71mm", 1.5f, kSVGUnitsMm},
    {"1" + zeros70 + "e-70%", 1.0f, kSVGUnitsPercent},
    {"-" + digits80 + "e-79", -1.2345678901f, kSVGUnitsUser},
    {"." + zeros70 + "5em", 0.0f, kSVGUnitsEm},
  };
  for (const auto& c : scanned) {
    const SVGCoordinate coord = svgParseCoordinate(c.text.c_str());
    EXPECT_FLOAT_EQ(coord.value, c.value) << c.text;
    EXPECT_EQ(coord.units, c.units) << c.text;
  }
}
