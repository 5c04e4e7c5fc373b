// XML preset files from outside: the bytes are the file. Validating it
// changes nothing; a load that refuses it changes nothing; whatever is
// loaded leaves every parameter finite and in range, and the preset saved
// from it loads and saves again as the same file.
#include "FuzzPlug.h"

using plugin::UT_String;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  static Vorelle3& plug = fuzzsupport::Plug();
  static fuzzsupport::Baseline baseline(plug);
  baseline.Restore();

  const UT_String path(fuzzsupport::WriteFile("input.zvp", data, size).c_str());
  const std::vector<uint8_t> before = fuzzsupport::SavedState(plug);
  const std::string presetBefore = plug.GetPresetName(plug.GetCurrentPresetIdx());
  UT_String name;
  const bool valid = plug.LoadPresetFileWithData(path, name, Vorelle3::ELoadMode::kValidate);
  if (fuzzsupport::SavedState(plug) != before)
    fuzzsupport::Fail("validating a preset changed the state");

  const bool loaded = plug.LoadPresetFileWithData(path, name, Vorelle3::ELoadMode::kLoad);
  if (loaded != valid)
    fuzzsupport::Fail("load and validate disagree");
  fuzzsupport::CheckParams(plug);
  if (!loaded) {
    if (fuzzsupport::SavedState(plug) != before)
      fuzzsupport::Fail("a refused preset changed the state");
    if (presetBefore != plug.GetPresetName(plug.GetCurrentPresetIdx()))
      fuzzsupport::Fail("a refused preset renamed the current preset");
    return 0;
  }
  fuzzsupport::CheckStateStable(plug);

  const UT_String a((fuzzsupport::Folder() / "a.zvp").c_str());
  const UT_String b((fuzzsupport::Folder() / "b.zvp").c_str());
  if (!plug.SavePresetFile(a, name))
    fuzzsupport::Fail("the preset cannot be saved");
  UT_String nameAgain;
  if (!plug.LoadPresetFileWithData(a, nameAgain, Vorelle3::ELoadMode::kLoad))
    fuzzsupport::Fail("a saved preset is refused");
  if (!plug.SavePresetFile(b, nameAgain))
    fuzzsupport::Fail("the preset cannot be saved again");
  if (fuzzsupport::ReadFile(a.Get()) != fuzzsupport::ReadFile(b.Get()))
    fuzzsupport::Fail("save, load, save changes the preset file");
  return 0;
}
