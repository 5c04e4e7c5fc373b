#include "HostIdentification.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

using plugin::LookUpHost;

struct HostRow {
  const char* text;
  int code;
};

// The host table, in test order.
const HostRow kTable[] = {
  {"vst live", 58},
  {"reaper", 1},
  {"protools", 2},
  {"cubase", 3},
  {"nuendo", 4},
  {"cakewalk", 5},
  {"vegas", 6},
  {"fruity", 7},
  {"samplitude", 8},
  {"live", 9},
  {"tracktion", 10},
  {"ntracks", 11},
  {"melodyne", 12},
  {"vstmanlib", 13},
  {"aulab", 14},
  {"forte", 15},
  {"chainer", 16},
  {"audition", 17},
  {"orion", 18},
  {"bias", 19},
  {"sawstudio", 20},
  {"logic", 21},
  {"garageband", 22},
  {"digital", 23},
  {"audiomulch", 25},
  {"presonus", 26},
  {"vst3plugintesthost", 27},
  {"ardour", 28},
  {"renoise", 29},
  {"openmpt", 30},
  {"wavelab elements", 32},
  {"wavelab", 31},
  {"twistedwave", 33},
  {"bitwig studio", 34},
  {"reason", 36},
  {"gwvst", 37},
  {"waveform", 38},
  {"audacity", 39},
  {"acoustica", 40},
  {"plugindoctor", 41},
  {"izotope rx", 42},
  {"savihost", 43},
  {"blue cat's vst host", 44},
  {"blue cat's vst3 host", 45},
  {"sadie", 46},
  {"spectralayers", 47},
  {"vsthost", 48},
  {"vst plugin analyser", 49},
  {"wavosaur", 50},
  {"mixbus32c", 51},
  {"kv_elementfx", 52},
  {"element", 52},
  {"juce vst host", 53},
  {"komplete kontrol", 54},
  {"vst3shell", 55},
  {"com.uaudio.luna", 56},
  {"audiogridderserver", 57},
  {"equalizer apo", 59},
  {"architect", 60},
  {"izotope vst3 host", 61},
  {"cantabile 3", 62},
  {"plugin buddy", 63},
  {"finalcut", 64},
  {"dream ii", 65},
  {"ua vst3 host", 66},
  {"metaplugin", 67},
  {"standalone", 24},
  {"www", 35},
};

std::string Upper(std::string s)
{
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

TEST(HostIdentification, EveryTableEntryIsFoundAloneEmbeddedAndInCapitals)
{
  for (const HostRow& row : kTable) {
    const std::string text = row.text;
    EXPECT_EQ(LookUpHost(text.c_str()), row.code) << text;
    EXPECT_EQ(LookUpHost(("My " + text + " 11").c_str()), row.code) << text;
    EXPECT_EQ(LookUpHost(Upper(text).c_str()), row.code) << text;
  }
}

TEST(HostIdentification, TheFirstEntryInTableOrderWins)
{
  const HostRow cases[] = {
    {"Steinberg VST Live", 58}, // not 9 for "live"
    {"Ableton Live 11", 9},
    {"WaveLab Elements 11", 32}, // not 31
    {"WaveLab Pro", 31},
    {"Logic Pro with GarageBand loops", 21},
    {"GarageBand", 22},
    {"Blue Cat's VST Host", 44}, // not 48 for "vsthost"
    {"Blue Cat's VST3 Host", 45},
    {"VSTHost", 48},
    {"KV_ElementFX", 52},
    {"Element", 52},
    {"REAPER64", 1},
    {"Bitwig Studio", 34},
    {"Digital Performer", 23},
    {"Reaper live edition", 1}, // "reaper" is tested before "live"
    {"Pro Tools", 0},           // the table wants "protools" without a blank
    {"com.avid.ProTools", 2},
  };
  for (const HostRow& c : cases)
    EXPECT_EQ(LookUpHost(c.text), c.code) << c.text;
}

TEST(HostIdentification, UnknownEmptyAndNullNamesGiveZero)
{
  EXPECT_EQ(LookUpHost("com.example.offlinehost"), 0);
  EXPECT_EQ(LookUpHost(""), 0);
  EXPECT_EQ(LookUpHost(nullptr), 0);
}

TEST(HostIdentification, OnlyTheFirst255CharactersAreLookedAt)
{
  std::string name(250, 'x');
  name += "reaper"; // ends at character 256
  EXPECT_EQ(LookUpHost(name.c_str()), 0);
  name.erase(0, 1); // now ends at character 255
  EXPECT_EQ(LookUpHost(name.c_str()), 1);
}

} // namespace
