#pragma once
// Third class of the plug-in chain: identity (names, version, codes), the
// host it runs in, the preset list, the default state serialisation (every
// parameter's real value as a double, in index order), the preset-making and
// parameter-group helpers, and program/bank files in the published fxp/fxb
// layouts. Main thread only, unless an operation says otherwise.

#include <cstdint>
#include <functional>

#include "Config.h"
#include "HostIdentification.h"
#include "IByteChunk.h"
#include "IGEditorDelegate.h"
#include "IParam.h"
#include "IPreset.h"
#include "UT_PtrList.h"
#include "UT_String.h"

namespace plugin {

class IPluginBase : public igraphics::IGEditorDelegate {
public:
  static constexpr int kMaxNameChars = 128; // plug-in, product and maker names

  IPluginBase(int nParams, int nPresets);
  ~IPluginBase() override;

  // --- overridable state and host hooks
  virtual void InformHostOfParameterDetailsChange() {}
  // Appends every parameter's real value as an 8-byte double; true when the
  // chunk is not empty afterwards (or there are no parameters).
  virtual bool SerializeState(IByteChunk& chunk) const;
  // Reads one double per parameter from startPos and sets them, then tells
  // the plug-in (kPresetRecall). When the data is too short for all of them,
  // no parameter changes and -1 is returned. Else the position after them.
  virtual int UnserializeState(const IByteChunk& chunk, int startPos);
  // Whether the last UnserializeState applied everything its data announced.
  // A reader may apply what it can of damaged data and return where it
  // stopped; a restore that dropped any part is never reported as complete.
  bool LastRestoreComplete() const { return mRestoreComplete; }
  virtual bool SerializeAuxState(IByteChunk&) const { return true; }
  virtual int UnserializeAuxState(const IByteChunk&, int startPos) { return startPos; }
  virtual void InformHostOfPresetChange() {}
  virtual void OnRestoreState() {}

  // --- identity
  // Packed (major << 16 | minor << 8 | patch), or major*1000 + minor*100 + patch*10.
  int GetPluginVersion(bool decimal) const { return VersionForm(mVersion, decimal); }
  void GetPluginVersionStr(UT_String& out) const { VersionString(mVersion, out); }
  int GetHostVersion(bool decimal) const { return VersionForm(mHostVersion, decimal); }
  void GetHostVersionStr(UT_String& out) const { VersionString(mHostVersion, out); }
  const char* GetAPIStr() const;
  const char* GetArchStr() const { return "x64"; }
  void GetBuildInfoStr(UT_String& out) const;
  const char* GetPluginName() const { return mPluginName.Get(); }
  const char* GetProductName() const { return mProductName.Get(); }
  const char* GetMfrName() const { return mMfrName.Get(); }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  EAPI GetAPI() const { return mAPI; }
  // Host code: kHostUninit until identified, kHostUnknown without a match.
  int GetHost() const { return mHost; }
  const char* GetHostName() const { return mHostName.Get(); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  bool HasUI() const { return mHasUI; }
  void SetHasUI(bool hasUI) { mHasUI = hasUI; }
  bool GetHostResizeEnabled() const { return mHostResize; }
  bool DoesStateChunks() const { return mStateChunks; }

  // --- presets
  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  const IPreset* GetPreset(int idx) const { return mPresets.Get(idx); }
  // An empty slot becomes "user preset N" holding the current state.
  bool RestorePreset(int idx);
  // The first preset with exactly this name; false for null or "".
  bool RestorePreset(const char* name);
  // "" when idx is out of range.
  const char* GetPresetName(int idx) const;
  // Captures the current state into the current preset; a non-empty name renames it.
  void ModifyCurrentPreset(const char* name = nullptr);
  // n times: the first empty slot takes name ("Empty" for null) and the current state.
  void MakeDefaultPresets(const char* name, int n);
  // Deletes every slot that holds no state, keeping the order of the others.
  void PruneUninitializedPresets();
  // Per preset: int32 name length, name bytes, one byte initialised flag and,
  // when initialised, the raw state bytes.
  bool SerializePresets(IByteChunk& chunk) const;
  int UnserializePresets(const IByteChunk& chunk, int startPos);

  // --- preset making: each fills the first empty slot (nothing when none)
  // One value per parameter: int for bool, int and enum parameters, double otherwise.
  void MakePreset(const char* name, ...);
  // nNamed pairs (int index, double value); other parameters keep their value.
  void MakePresetFromNamedParams(const char* name, int nNamed, ...);
  void MakePresetFromChunk(const char* name, const IByteChunk& chunk);
  // The preset's state decoded from standard base64 text (size: decoded bytes expected).
  void MakePresetFromBlob(const char* name, const char* base64, int size);

  // --- source dumps: each appends one call to the text file at path
  void DumpPresetSrcCode(const char* path) const;
  void DumpMakePresetFromNamedParamsSrcCode(const char* path, const char* const* paramEnumNames) const;
  void DumpPresetBlob(const char* path) const;

  // --- program and bank files (big-endian headers)
  // Written beside path and renamed into place: a failed write keeps the old file.
  [[nodiscard]] bool SaveProgramAsFXP(const char* path) const;
  [[nodiscard]] bool SaveBankAsFXB(const char* path) const;
  bool LoadProgramFromFXP(const char* path);
  bool LoadBankFromFXB(const char* path);

  // --- parameter ranges and groups (inclusive index ranges)
  using ParamFunc = std::function<void(int paramIdx, IParam& param)>;
  void ForParamInRange(int startIdx, int endIdx, const ParamFunc& func);
  void ForParamInGroup(const char* group, const ParamFunc& func);
  void DefaultParamValues(int startIdx, int endIdx);
  void DefaultParamValues(const char* group);
  void RandomiseParamValues(int startIdx, int endIdx);
  void RandomiseParamValues(const char* group);
  void PrintParamValues();
  void InitParamRange(int startIdx, int endIdx, int countStart, const char* nameFmt, double defaultVal, double minVal,
                      double maxVal, double step, const char* label = "", int flags = 0, const char* group = "",
                      const IParam::Shape& shape = IParam::ShapeLinear(), IParam::EParamUnit unit = IParam::kUnitCustom,
                      IParam::DisplayFunc displayFunc = nullptr);
  void CloneParams(int cloneStartIdx, int cloneEndIdx, int startIdx, const char* searchStr = "",
                   const char* replaceStr = "", const char* newGroup = "");
  void CopyParamValues(int startIdx, int destIdx, int nParams);
  void CopyParamValues(const char* inGroup, const char* outGroup);

protected:
  // Stores the host's name, version and table code (no notification).
  void StoreHost(const char* name, int version);
  // The state chunk of program/bank files: the "tffp" mark, int32 65536, then
  // the state (program) or every preset (bank).
  bool MakeFileChunk(IByteChunk& chunk, bool bank) const;
  // The first slot without a state, now marked initialised, named and
  // emptied; null when every slot is taken.
  IPreset* TakeEmptyPreset(const char* name);
  // Marks the slot initialised with name and fills its chunk with the current state.
  void CapturePreset(IPreset& preset, const char* name);
  // Parameter values as FxCk normalised floats; from the preset's chunk when
  // it holds the default serialisation, else the current values.
  void PresetNormalizedValues(const IPreset* preset, float* values) const;

  int32_t mCurrentPresetIdx = 0;
  bool mRestoreComplete = true; // set by every UnserializeState
  bool mStateChunks = false;
  UT_String mPluginName;
  UT_String mProductName;
  UT_String mMfrName;
  int32_t mUniqueID = 0;
  int32_t mMfrID = 0;
  int32_t mVersion = 0;
  int32_t mHostVersion = 0;
  int32_t mHost = kHostUninit;
  EAPI mAPI = kAPIVST2;
  UT_String mBundleID;
  bool mHasUI = false;
  bool mHostResize = false;
  UT_PtrList<IPreset> mPresets;
  UT_String mHostName;

private:
  static int VersionForm(int packed, bool decimal);
  static void VersionString(int packed, UT_String& out);
  void RestoreCurrentState();
};

} // namespace plugin
