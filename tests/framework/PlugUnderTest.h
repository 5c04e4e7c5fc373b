#pragma once
// The test plug-in on the framework's own chain (API base + processor),
// recording what reaches the plug-in, the host and the editor.

#include <string>
#include <vector>

#include "IPluginAPIBase.h"
#include "IPluginProcessor.h"
#include "TestPlug.h"

namespace testsupport {

class PlugUnderTest : public plugin::IPluginAPIBase, public plugin::IPluginProcessor {
public:
  struct Change {
    int idx;
    int source;
  };
  struct Sent {
    int idx;
    double value;
    bool normalized;
  };

  explicit PlugUnderTest(plugin::Config config = TestPlugConfig(), plugin::EAPI api = plugin::kAPIAU)
  : plugin::IPluginAPIBase(config, api), plugin::IPluginProcessor(config, api)
  {
    DeclareTestPlug(*this);
  }

  // plug-in side
  void OnParamChange(int idx, plugin::EParamSource source, int) override { mChanges.push_back({idx, source}); }
  void OnIdle() override
  {
    ++mIdleCalls;
    mLog += "idle;";
  }
  void OnHostIdentified() override { mLog += "host;"; }
  void OnHostIdentifiedPost() override { mLog += "hostpost;"; }
  void OnRestoreState() override { mLog += "restore;"; }
  void InformHostOfPresetChange() override { mLog += "presetchange;"; }
  bool SendMidiMsg(const plugin::IMidiMsg&) override { return true; }

  // host side
  void InformHostOfParamChange(int idx, double normalized) override
  {
    mHostInformed.push_back({idx, normalized, true});
  }
  bool EditorResize(int w, int h) override
  {
    mLog += "resize " + std::to_string(w) + "x" + std::to_string(h) + ";";
    return true;
  }

  // editor side
  void SendParameterValueFromDelegate(int idx, double value, bool normalized) override
  {
    mEditor.push_back({idx, value, normalized});
    plugin::IPluginAPIBase::SendParameterValueFromDelegate(idx, value, normalized);
  }
  void OnParamChangeUI(int idx, plugin::EParamSource source) override { mUIChanges.push_back({idx, source}); }
  void OnMidiMsgUI(const plugin::IMidiMsg& msg) override { mEditorMidi.push_back(msg); }
  void OnSysexMsgUI(const plugin::SysExData& msg) override { mEditorSysEx.push_back(msg.mOffset); }
  bool OnMessage(int msgTag, int ctrlTag, int dataSize, const void*) override
  {
    mLog += "msg " + std::to_string(msgTag) + " " + std::to_string(ctrlTag) + " " + std::to_string(dataSize) + ";";
    return true;
  }

  // queue access for tests
  plugin::IPluginQueue<plugin::SysExData>& SysExToProcessor() { return mSysExDataFromEditor; }
  plugin::IPluginQueue<plugin::IMidiMsg>& MidiToProcessor() { return mMidiMsgsFromEditor; }
  plugin::IPluginQueue<plugin::IMidiMsg>& MidiToEditor() { return mMidiMsgsFromProcessor; }
  plugin::IPluginQueue<plugin::SysExData>& SysExToEditor() { return mSysExDataFromProcessor; }

  std::vector<Change> mChanges;
  std::vector<Change> mUIChanges;
  std::vector<Sent> mHostInformed;
  std::vector<Sent> mEditor;
  std::vector<plugin::IMidiMsg> mEditorMidi;
  std::vector<int> mEditorSysEx;
  int mIdleCalls = 0;
  std::string mLog;
};

} // namespace testsupport
