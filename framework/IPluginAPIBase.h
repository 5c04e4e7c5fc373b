#pragma once
// Fourth class of the plug-in chain and base of the Audio Unit binding: the
// parameter traffic between host, editor and audio thread. A 20 ms timer on
// the main run loop drains the queues towards the editor and calls OnIdle;
// host-facing notifications are empty here and filled by the binding.
//
// Queues (all storage allocated at construction; never resized):
//   parameter values to the editor  ParamTuple 512  any host thread(s) -> main
//   MIDI to the processor           IMidiMsg    32  main -> audio
//   MIDI to the editor              IMidiMsg    32  host MIDI thread -> main
//   SysEx to the processor          SysExData    4  main -> audio
//   SysEx to the editor             SysExData    4  (no producer) -> main
// The parameter queue takes several producers at once; the others exactly one.

#include <memory>

#include "IPluginBase.h"
#include "IPluginMPQueue.h"
#include "IPluginQueue.h"
#include "IPluginStructs.h"
#include "Timer.h"

namespace plugin {

class IPluginAPIBase : public IPluginBase {
public:
  static constexpr int kParamQueueSize = 512;
  static constexpr int kMidiQueueSize = 32;
  static constexpr int kSysExQueueSize = 4;
  static constexpr uint32_t kTimerIntervalMs = 20;

  IPluginAPIBase(Config config, EAPI api);
  ~IPluginAPIBase() override;

  // True when every parameter value stored in data (8-byte doubles from
  // double index startPos, dataSize bytes in all) equals the current value
  // in single precision within 1e-5. Data too short for every value, null
  // data, or a negative position or size compare unequal.
  virtual bool CompareState(const uint8_t* data, int dataSize, int startPos) const;
  virtual void OnHostIdentifiedPost() {}
  // Appends 0..count-1 when 1 <= count < NParams().
  virtual void FillParamIndexList(int count, UT_TypedBuf<int32_t>& list) const;
  // The graphics object while the editor is ready, else null.
  virtual igraphics::IGraphics* GetOpenUI() const { return GetUI(); }
  // Main thread, every timer tick.
  virtual void OnIdle() {}
  virtual void PrintDebugInfo() const;
  // Any thread: queues the (real) value for the editor; never touches it.
  virtual void SendParameterValueFromAPI(int paramIdx, double value, bool normalized);
  virtual void OnHostIdentified() {}
  virtual bool EditorResize(int, int) { return false; }
  virtual void BeginInformHostOfParamChange(int) {}
  virtual void EndInformHostOfParamChange(int) {}
  virtual void InformHostOfParamChange(int, double) {}

  // Editor-to-plug-in messages.
  void DirtyParametersFromUI() override;
  void BeginInformHostOfParamChangeFromUI(int paramIdx) override { BeginInformHostOfParamChange(paramIdx); }
  void EndInformHostOfParamChangeFromUI(int paramIdx) override { EndInformHostOfParamChange(paramIdx); }
  void SendParameterValueFromUI(int paramIdx, double normalizedValue, bool notifyPlugin = true) override;
  bool EditorResizeFromUI(int width, int height, bool needsPlatformResize) override;
  void SendMidiMsgFromUI(const IMidiMsg& msg) override { DeferMidiMsg(msg); }
  void SendSysexMsgFromUI(const SysExData& msg) override { DeferSysexMsg(msg); }
  void SendArbitraryMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void* data) override;
  // Main thread; a full queue drops the message.
  void DeferMidiMsg(const IMidiMsg& msg) override { mMidiMsgsFromEditor.Push(msg); }
  void DeferSysexMsg(const SysExData& msg) override { mSysExDataFromEditor.Push(msg); }

  // Sets the parameter from a normalised value, tells the host and, when
  // notifyPlugin, the plug-in (kUI). paramIdx must be valid.
  void SetParameterValue(int paramIdx, double normalizedValue, bool notifyPlugin);
  // Stores the host's name and version, derives its code, then calls
  // OnHostIdentified and OnHostIdentifiedPost. A null name keeps the stored
  // name and gives code 0.
  void SetHost(const char* name, int version);
  // (Re)starts the 20 ms timer bound to OnTimer.
  void CreateTimer();
  void StopTimer();
  // One tick: with a UI, every queue towards the editor is emptied (values
  // pushed meanwhile included); then OnIdle.
  void OnTimer(Timer& timer);

protected:
  std::unique_ptr<Timer> mTimer;
  IPluginMPQueue<ParamTuple> mParamChangeFromProcessor{kParamQueueSize};
  IPluginQueue<IMidiMsg> mMidiMsgsFromEditor{kMidiQueueSize};
  IPluginQueue<IMidiMsg> mMidiMsgsFromProcessor{kMidiQueueSize};
  IPluginQueue<SysExData> mSysExDataFromEditor{kSysExQueueSize};
  IPluginQueue<SysExData> mSysExDataFromProcessor{kSysExQueueSize};
};

} // namespace plugin
