// Program (fxp) and bank (fxb) files from outside: the first byte picks the
// reader, the rest is the file. A refused program without a state in it, and
// a refused bank no longer than its header, change neither the state nor the
// presets (a file read in part keeps what was read: a state, preset names);
// whatever is read leaves every parameter finite and in range, and saving,
// loading and saving again gives the same file.
#include <algorithm>

#include "FuzzPlug.h"

namespace {

std::vector<uint8_t> Presets(const Vorelle3& plug)
{
  plugin::IByteChunk chunk;
  plug.SerializePresets(chunk);
  return fuzzsupport::Bytes(chunk);
}

// A preset made in code holds the parameters only, and the first load
// recaptures the current one with the curves too; from then on a save, load
// and save must give the same file.
void CheckSaveLoadSave(Vorelle3& plug, bool bank)
{
  std::vector<uint8_t> files[3];
  for (int i = 0; i < 3; ++i) {
    const std::string path = (fuzzsupport::Folder() / (bank ? "saved.fxb" : "saved.fxp")).string();
    if (!(bank ? plug.SaveBankAsFXB(path.c_str()) : plug.SaveProgramAsFXP(path.c_str())))
      fuzzsupport::Fail("the file cannot be saved");
    files[i] = fuzzsupport::ReadFile(path);
    if (i < 2 && !(bank ? plug.LoadBankFromFXB(path.c_str()) : plug.LoadProgramFromFXP(path.c_str())))
      fuzzsupport::Fail("a saved file is refused");
  }
  if (files[1] != files[2])
    fuzzsupport::Fail("save, load, save changes the file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0 || size > (1u << 20))
    return 0;
  static Vorelle3& plug = fuzzsupport::Plug();
  static fuzzsupport::Baseline baseline(plug);
  baseline.Restore();

  const bool bank = data[0] & 1;
  const std::string path = fuzzsupport::WriteFile(bank ? "input.fxb" : "input.fxp", data + 1, size - 1);
  const std::vector<uint8_t> state = fuzzsupport::SavedState(plug);
  const std::vector<uint8_t> presets = Presets(plug);
  const int current = plug.GetCurrentPresetIdx();
  const bool loaded = bank ? plug.LoadBankFromFXB(path.c_str()) : plug.LoadProgramFromFXP(path.c_str());
  fuzzsupport::CheckParams(plug);
  static const uint8_t kRiff[] = {'R', 'I', 'F', 'F'};
  constexpr size_t kBankHeaderBytes = 4 * 8 + 124;
  const bool readable =
    bank ? size - 1 > kBankHeaderBytes : std::search(data, data + size, kRiff, kRiff + 4) != data + size;
  if (!loaded && !readable) {
    if (fuzzsupport::SavedState(plug) != state)
      fuzzsupport::Fail("a refused file changed the state");
    if (Presets(plug) != presets || plug.GetCurrentPresetIdx() != current)
      fuzzsupport::Fail("a refused file changed the presets");
  }
  fuzzsupport::CheckStateStable(plug);
  CheckSaveLoadSave(plug, bank);
  return 0;
}
