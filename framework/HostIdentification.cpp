#include "HostIdentification.h"

#include <cctype>
#include <cstring>

namespace plugin {

namespace {

struct HostEntry {
  const char* text;
  int code;
};

// Tested in this order; "vst live" must come before "live", "wavelab elements"
// before "wavelab", the Blue Cat hosts before "vsthost".
constexpr HostEntry kHostTable[] = {
  {"vst live", 58},
  {"reaper", kHostReaper},
  {"protools", kHostProTools},
  {"cubase", 3},
  {"nuendo", 4},
  {"cakewalk", 5},
  {"vegas", 6},
  {"fruity", kHostFLStudio},
  {"samplitude", 8},
  {"live", kHostAbletonLive},
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
  {"logic", kHostLogic},
  {"garageband", kHostGarageBand},
  {"digital", 23},
  {"audiomulch", 25},
  {"presonus", kHostStudioOne},
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
  {"waveform", kHostWaveform},
  {"audacity", 39},
  {"acoustica", 40},
  {"plugindoctor", 41},
  {"izotope rx", 42},
  {"savihost", 43},
  {"blue cat's vst host", 44},
  {"blue cat's vst3 host", 45},
  {"sadie", kHostSadie},
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

constexpr int kMaxNameChars = 255;

} // namespace

int LookUpHost(const char* name)
{
  if (!name)
    return kHostUnknown;
  char lower[kMaxNameChars + 1];
  int n = 0;
  for (; n < kMaxNameChars && name[n]; ++n)
    lower[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n])));
  lower[n] = '\0';
  for (const HostEntry& e : kHostTable) {
    if (std::strstr(lower, e.text))
      return e.code;
  }
  return kHostUnknown;
}

} // namespace plugin
