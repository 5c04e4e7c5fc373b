#pragma once
// The plug-in: an Audio Unit effect that matches the long-term spectrum of
// its input to a reference. Capture feeds the analyser; Processing runs the
// input through a correction filter designed from the difference between a
// reference curve and the captured fingerprint, mixed with an equally
// delayed dry path; Idle outputs that dry path.
//
// Threads: construction, ComputeCurves and everything touching files or the
// editor on the main thread; ProcessBlock and OnReset on the host's audio
// thread. mMutex (recursive) guards the DSP state: ProcessBlock and OnReset
// hold it for their whole run, ComputeCurves only to read its inputs and to
// swap the new filter in (the design itself runs outside it). ProcessBlock
// allocates nothing for blocks up to the block size the DSP was built for.
// "Main thread" is the process's main thread (the main run loop's), which
// need not be the thread that built the plug-in.
//
// State lives in owned parts, each with its own contract: the output stage
// (clip detector, fade, meter), the curve store (fingerprint, custom
// reference, difference curve) and the file-job queue; the mutex guards the
// first two.
#include <atomic>
#include <cstdarg>
#include <memory>
#include <optional>
#include <mutex>
#include <vector>

#include "CMFFT.h"
#include "CorrectionFilter.h"
#include "CurveFile.h"
#include "CurveMath.h"
#include "CurveStore.h"
#include "FileJobQueue.h"
#include "FilterDesign.h"
#include "ICMessageBox.h"
#include "IExtPDCHandler.h"
#include "IMPlugPaths.h"
#include "IXMLParameters.h"
#include "IXMLPreset.h"
#include "IPluginAU.h"
#include "OutputStage.h"
#include "Vorelle3CurveRecord.h"
#include "Vorelle3EditorLinks.h"
#include "Vorelle3Params.h"

enum EActivityState { kCapture = 0, kIdle = 1, kProcessing = 2 };

class Vorelle3 : public plugin::IPluginAU,
                 public plugin::IMPlugPaths,
                 public IExtPDCHandler,
                 public IXMLPreset,
                 public IXMLParameters,
                 public ICMessageBox,
                 public IEditorPlugLinks {
public:
  static constexpr int kNumPresets = 1;
  static constexpr int kCustomReference = 4; // "Reference mode" of the custom curve

  explicit Vorelle3(const plugin::InstanceInfo& info);
  ~Vorelle3() override;

  // --- audio thread
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  // Rebuilds the DSP state when the processor's sample rate or block size
  // changed since it was built; hands the latency to the host.
  void OnReset() override;

  // --- DSP set-up
  // Everything that depends on rate or block size: timings, analyser, curve
  // records (kept when their point count is unchanged), identity filters.
  // Caller holds mMutex (or is the constructor).
  void InitDSP();
  // Difference curve and both impulses from the fingerprint (when valid) and
  // the reference chosen by "Reference mode", for the current "AD mode".
  // Takes mMutex itself; callable with it held.
  void ComputeCurves();
  // InitDSP under the caller's lock, ComputeCurves, then the latency hand-over.
  void ReinitDSP();
  // mFilterLatency in "Digital", 0 in "Analoge".
  int GetProcessingLatency() const { return mADMode != 0 ? mFilterLatency : 0; }

  // --- the owned parts (contracts in their headers)
  const OutputStage& Output() const { return mOutput; }
  const CurveStore& Curves() const { return mCurves; }
  const FileJobQueue& FileJobs() const { return mFileJobs; }
  // Result text of the last audio import.
  const char* ImportStatus() const { return mImportStatus.Get(); }

  // --- parameter changes and commands (Vorelle3Commands.cpp)
  // Host parameters 0..9 and the editor's action tags 10..35. Any thread: on
  // one other than the main thread nothing allocates or touches the editor,
  // and capture finishing, filter rebuilds and label updates wait for the
  // next idle tick.
  void OnParamChange(int paramIdx, plugin::EParamSource source, int sampleOffset) override;
  // Changes a parameter from inside the plug-in as the editor would.
  void SetParamValueAndNotify(int paramIdx, double value, bool normalized);
  double GetFixedGUIScale(int index) const;

  // --- idle work and editor updates (Vorelle3Idle.cpp), main thread
  void OnIdle() override;
  void OnUIOpen() override;
  void OnUIClose() override;
  // Editor updates through the stored control positions; nothing unless
  // the layout has attached the controls of the open editor.
  void UpdateGUIControls();
  void UpdateCustomStyleLabel();
  void UpdateIndicator();

  // --- what the editor layout asks (Vorelle3EditorLinks.h)
  double EditorGUIScale() const override { return mGUIScale; }
  const char* EditorDataFolder() const override { return GetDataPath(); }
  std::string EditorCustomRefName() override;
  plugin::IParam* EditorOnlyParam(int i) const override { return mExtraParams.Get(i); }
  int EditorOnlyParamBaseTag() const override { return mGUIScaleMenuTag; }
  void EditorUnavailable() override { SetHasUI(false); }
  void SetLinkedControl(EControl which, int listIndex) override;
  void SetControlsAttached() override;
  void BuildAboutText();
  void MakeAboutText(plugin::UT_String& text) const;

  // --- audio files (Vorelle3Import.cpp, Vorelle3FileJobs.cpp), main thread
  // A fresh analyser that has read the whole file (its rate in sampleRate,
  // its length in frames), or null; mImportStatus says which.
  std::unique_ptr<CMFFT> ImportAudioFile(const char* path, double* sampleRate = nullptr, int* frames = nullptr);
  // The analyser's average spectrum on the curve grid (6 points per octave
  // from 10 Hz); false when it has no spectrum.
  bool MapAnalyserOntoGrid(CMFFT& analyser, double fs, std::vector<double>& out) const;
  // Runs a queued job one idle tick after it was queued.
  void RunPendingFileJob();
  bool ConvertAudioFile(const char* path);
  bool LoadFingerprintAndUpdate(const char* path, Vorelle3CurveRecord* target);
  bool LoadReferenceAndUpdate(const char* path, Vorelle3CurveRecord* target);

  // --- settings and presets
  // One integer from the settings file in the data folder; section is unused.
  int ReadIniInt(const char* section, const char* key, int defaultValue) const;
  // Loads "default.zvp" from folder; false when there is none or it cannot
  // be read (the parameters then keep their values).
  bool LoadDefaultPreset(const plugin::UT_String& folder);
  int MakeInitPreset();
  const plugin::IPreset& GetInitPreset() const { return mInitPreset; }
  int NCodePresets() const { return mCodePresets.GetSize(); }
  const plugin::IPreset* GetCodePreset(int idx) const { return mCodePresets.Get(idx); }
  plugin::IParam* GetExtraParam(int idx) const { return mExtraParams.Get(idx); }

  // --- curve files, state chunk, XML presets, exports (Vorelle3CurveFiles.cpp,
  // Vorelle3StateChunk.cpp, Vorelle3Presets.cpp, Vorelle3Exports.cpp), main thread.
  // Readers fill their record only when the whole file is good, under
  // mMutex; a refused file posts its message (title "Error") or, when it
  // cannot be opened, nothing. Writers return false on any open, write or
  // close failure.
  [[nodiscard]] bool WriteFingerprint(const plugin::UT_String& path, const Vorelle3CurveRecord& curve);
  [[nodiscard]] bool WriteReference(const plugin::UT_String& path, const Vorelle3CurveRecord& curve);
  bool ReadFingerprint(const plugin::UT_String& path, Vorelle3CurveRecord& curve);
  bool ReadReference(const plugin::UT_String& path, Vorelle3CurveRecord& curve);
  // The host state chunk: parameters as XML, fingerprint, custom reference.
  // The reader returns the position after the chunk, where it stopped, or
  // -1 for a chunk damaged or cut short, never a position past the chunk's
  // bytes. It applies what it can read whole: -1 before the XML section
  // changes nothing, but a chunk cut later still applies its parameters and
  // every complete curve section. LastRestoreComplete tells whether
  // everything the chunk announces was applied.
  bool SerializeState(plugin::IByteChunk& chunk) const override;
  int UnserializeState(const plugin::IByteChunk& chunk, int startPos) override;
  // The binding undoes a refused class info with the state chunk saved
  // before it; a curve the plug-in had none of has no form in that chunk,
  // so the curves are put back from a copy as well.
  OSStatus RestoreClassInfo(CFPropertyListRef plist) override;
  // A recalled preset's filter is designed before the host renders again.
  void OnRestoreState() override;
  bool WriteStateXML(plugin::IByteChunk& chunk) const;
  int ReadStateXML(const plugin::IByteChunk& chunk, int pos);
  // XML presets (".zvp"); none shows a message.
  [[nodiscard]] bool SavePresetFile(const plugin::UT_String& path, const plugin::UT_String& presetName);
  [[nodiscard]] bool SaveDefaultPreset(const plugin::UT_String& folder);
  bool LoadPresetFileWithData(const plugin::UT_String& path, plugin::UT_String& presetNameOut, ELoadMode mode);
  bool LoadPresetFile(const plugin::UT_String& path, double* values, plugin::UT_String& presetNameOut);
  void ApplyPresetXML(plugin::IPreset* preset, const plugin::UT_String& path);
  bool GetPresetXMLText(const double* values, plugin::IByteChunk& chunk, const char* presetName) const;
  // nParamsNamed pairs (int index, value: double for double parameters, int
  // for the others); every other parameter at its default.
  void MakePresetFromState(const char* name, int nParamsNamed, ...);
  void MakePresetFromState(plugin::IPreset& preset, const char* name, int nParamsNamed, ...);
  void CopyPresetToSlot(const plugin::IPreset& source, int index);
  // Exports. sampleRate is the analyser's (0: the plug-in's).
  [[nodiscard]] bool WriteRefDataSource(const plugin::UT_String& path, const plugin::UT_String& name, CMFFT* analyser,
                                        double sampleRate = 0.0);
  [[nodiscard]] bool GetRefDataPath(const plugin::UT_String& folder, const plugin::UT_String& name, CMFFT* analyser,
                                    double sampleRate = 0.0);
  [[nodiscard]] bool ExportCurvesCSV(const plugin::UT_String& folder);

  // --- the design steps, on this plug-in's terms
  static void SetIdentity(double* impulse, int n) { ::SetIdentity(impulse, n); }
  static void CircularShift(double* data, int n, int k) { ::CircularShift(data, n, k); }
  static double InterpolateCurve(const double* freq, const double* value, int count, double f)
  {
    return ::InterpolateCurve(freq, value, count, f);
  }
  void SmoothCurve(double* impulse, int n, const Vorelle3CurveRecord& diff, bool linearPhase) const
  {
    ::SmoothCurve(impulse, n, diff, linearPhase, GetSampleRate());
  }
  static double BezierSegmentValue(const double* x, const double* y, double f) { return ::BezierSegmentValue(x, y, f); }
  static void ForwardFFT(double* data, int m) { ::ForwardFFT(data, m); }
  static void InverseFFT(double* data, int m) { ::InverseFFT(data, m); }
  static void MinimumPhaseFold(double* data, int m) { ::MinimumPhaseFold(data, m); }
  static void ApplyImpulseWindow(double* impulse, int n, int mode) { ::ApplyImpulseWindow(impulse, n, mode); }

protected:
  void InitMembers();
  void InitParams();
  void InitPlugControls();
  void ProcessAudio(double** inputs, double** outputs, int nFrames);

  // The parts as a subclass (a test) drives them; callers keep to the
  // parts' threading rules.
  OutputStage& Output() { return mOutput; }
  CurveStore& Curves() { return mCurves; }
  FileJobQueue& FileJobs() { return mFileJobs; }

  std::recursive_mutex mMutex;

  // DSP set-up values.
  double mSampleRate = 44100.0;
  int mBlockSize = 512;
  int mNumInputs = 2;
  int mNumOutputs = 2;
  int mLatency = 0;

  // Parameter mirrors: every DSP decision reads these.
  double mGUIScale = 1.0;
  int mTooltips = 1;
  int mOnlineUpdateCheck = 1;
  // Atomic where a host thread writes what the audio block reads.
  std::atomic<int> mActivityState{kIdle};
  std::atomic<int> mReferenceMode{0};
  std::atomic<int> mADMode{0};
  std::atomic<double> mGain{0.0};
  std::atomic<double> mMix{100.0};
  int mResetPeakMax = 0;
  int mMatchPeakMax = 0;

  // Requests for the idle loop.
  bool mGUIResizePending = false;
  bool mAboutPending = false;
  bool mUpdateCheckPending = false;
  bool mUIOpen = false;
  // The editor layout has written the mCtrl... positions into the open
  // context; cleared when the editor closes, so nothing writes through
  // positions of a deleted context.
  bool mControlsAttached = false;

  // Analysis.
  std::unique_ptr<CMFFT> mAnalyser;
  int mBandIndex = 3;
  int mFFTSize = 16384;
  int mSpectrumMode = 0;
  int mBandsPerOctave = 6;

  // Correction filter.
  int mImpulseLength = 32768;
  int mMaxImpulseSize = 32768;
  bool mMonoImpulse = true;
  bool mWindowImpulse = false;
  bool mLinearPhase = false;
  int mFilterLatency = 0;
  std::unique_ptr<CorrectionFilter> mFilter;
  // Counts rebuilds, so a design made outside the lock is dropped when the
  // DSP state changed under it.
  unsigned mDSPGeneration = 0;
  // What the filter in place was designed from (none for InitDSP's identity
  // filter): a rebuild from equal inputs is skipped.
  struct DesignInputs {
    std::vector<double> diff;
    bool linearPhase, windowImpulse;
    double sampleRate;
    int impulseLength, maxImpulseSize, blockSize;
    bool operator==(const DesignInputs&) const = default;
  };
  std::optional<DesignInputs> mBuiltInputs;
  // Under mMutex: what every filter change, or a skipped equal one, settles.
  void SettleNewFilter(const Vorelle3CurveRecord& diff);

  // Positions of editor controls, set by the editor layout.
  int mCtrlCustomStyle = -1;
  int mCtrlCaptureLED = -1;
  int mCtrlClipLED = -1;
  int mCtrlPeakText = -1;
  int mCtrlTuneBox = -1;
  int mCtrlNeedle = -1;
  int mCtrlSaveFingerprint = -1;
  int mCtrlSaveReference = -1;
  int mCtrlLoadFingerprint = -1;
  int mCtrlLoadReference = -1;
  int mCtrlUpdate = -1;

  // Presets and editor-only parameters.
  plugin::IPreset mInitPreset;
  bool mPresetsDynamic = true;
  plugin::UT_PtrList<plugin::IPreset> mCodePresets;
  plugin::UT_PtrList<plugin::IParam> mExtraParams;
  int mGUIScaleMenuTag = 28;
  plugin::UT_PtrList<plugin::IPreset> mPresetList;

  // Parameter changes and commands.
  enum EDeferredWork : unsigned { kDeferFinishCapture = 1, kDeferCurves = 2, kDeferLabel = 4 };
  // The process's main thread (the main run loop's), whichever thread built
  // the plug-in.
  bool OnMainThread() const;
  void ParameterChanged(int paramIdx, double value);
  void ActionTag(int tag);
  void MatchPeakMax();
  void SetGUIScaleAndResize(double scale);
  // Maps the capture onto the fingerprint and rebuilds; false when nothing
  // was mapped.
  bool FinishCapture();
  void StartCapture();
  // Rebuilds the filter now on the main thread; on another thread, or while
  // a state is restored, at the next deferred-work run: the restore doors
  // (class info, preset recall), Initialize and the idle tick.
  void RequestCurves();
  void RequestLabelUpdate();
  void RunDeferredWork();
  // The latency for the current "AD mode" and filter to the hand-over
  // mix-in; to the host at once when `now` or for the hosts that want it so.
  void HandOverLatency(bool now);
  // Inside UnserializeState or the class-info door (main thread): the filter
  // waits until needed. Scopes nest.
  bool mRestoring = false;
  struct RestoreScope {
    bool& flag;
    const bool outer;
    explicit RestoreScope(bool& f) : flag(f), outer(f) { flag = true; }
    ~RestoreScope() { flag = outer; }
  };
  void FileAction(int tag);
  void PresetAction(int tag);
  void RebuildPresetList();
  bool ImportIntoCurve(const char* path, Vorelle3CurveRecord* target, bool asReference);
  // True, with the status "Error Load", when a recording of `frames` frames
  // whose spectrum on the grid freq is mag cannot serve as a reference.
  bool RefuseAsReference(int frames, const double* freq, const double* mag, unsigned n);

  std::atomic<unsigned> mDeferredWork{0};
  // Set by a reference change; the next filter swapped in restarts the fade.
  std::atomic<bool> mFadeOnNextFilter{false};
  // The last version check of this instance.
  int mVersionCheckCurlCode = -1;
  char mVersionCheckError[1024] = {};

private:
  OutputStage mOutput;
  CurveStore mCurves;
  FileJobQueue mFileJobs;
  plugin::UT_String mImportStatus;

  void MakeFixedScaleParam();
  // Curve files and presets (Vorelle3CurveFiles.cpp, Vorelle3Presets.cpp).
  bool ReadCurve(const plugin::UT_String& path, ECurveFileType type, Vorelle3CurveRecord& curve);
  void FillPresetFromArgs(plugin::IPreset& preset, const char* name, int nParamsNamed, va_list args);
};
