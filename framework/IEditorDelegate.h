#pragma once
// Root of the plug-in's class chain: owns the parameters and defines every
// message between the plug-in and its editor, with default bodies. All
// operations run on the main thread unless a derived class says otherwise.

#include "IParam.h"
#include "UT_PtrList.h"

namespace plugin {

class IByteChunk;
struct IKeyPress;
struct IMidiMsg;
struct SysExData;

class IEditorDelegate {
public:
  // Creates nParams empty parameters, owned until destruction.
  explicit IEditorDelegate(int nParams);
  virtual ~IEditorDelegate();
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // Returns the platform view handle (null here).
  virtual void* OpenWindow(void* parentView);
  virtual void CloseWindow();
  virtual void DelegateReserved() {}

  // Sends every parameter's current normalised value to the editor.
  virtual void OnUIOpen();
  virtual void OnUIClose() {}

  virtual void OnParamChange(int paramIdx, EParamSource source, int sampleOffset = -1);
  virtual void OnParamChangeIdx(int) {}
  virtual void OnParamChangeUI(int, EParamSource) {}
  // OnParamChange then OnParamChangeUI for every parameter in order.
  virtual void OnParamReset(EParamSource source);
  virtual void OnMidiMsgUI(const IMidiMsg&) {}
  virtual void OnSysexMsgUI(const SysExData&) {}
  virtual bool OnMessage(int, int, int, const void*) { return false; }
  virtual void SendCurrentParamValuesFromDelegate();
  // True when the key was used.
  virtual bool OnKeyDown(const IKeyPress&) { return false; }
  virtual bool OnKeyUp(const IKeyPress&) { return false; }
  virtual void OnUIMouseDown() {}
  virtual void OnUIMouseUp() {}

  // Plug-in to editor.
  virtual void SendControlValueFromDelegate(int, double) {}
  virtual void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* data);
  virtual void SendArbitraryMsgFromDelegate(int msgTag, int dataSize, const void* data);
  virtual void SendMidiMsgFromDelegate(const IMidiMsg& msg);
  virtual void SendSysexMsgFromDelegate(const SysExData& msg);
  virtual void SendParameterValueFromDelegate(int paramIdx, double value, bool normalized);

  // Editor to plug-in.
  virtual void DirtyParametersFromUI() {}
  virtual void BeginInformHostOfParamChangeFromUI(int paramIdx) = 0;
  // The default stores the value and tells the editor side; notifyPlugin is
  // honoured by the API base.
  virtual void SendParameterValueFromUI(int paramIdx, double normalizedValue, bool notifyPlugin = true);
  virtual void EndInformHostOfParamChangeFromUI(int paramIdx) = 0;
  virtual bool EditorResizeFromUI(int, int, bool) { return false; }
  virtual void SendMidiMsgFromUI(const IMidiMsg&) {}
  virtual void SendSysexMsgFromUI(const SysExData&) {}
  virtual void SendArbitraryMsgFromUI(int, int, int, const void*) {}
  virtual void DeferMidiMsg(const IMidiMsg&) {}
  virtual void DeferSysexMsg(const SysExData&) {}

  // Editor state inside the plug-in's saved state.
  virtual bool SerializeEditorState(IByteChunk&) const { return true; }
  // Returns the position after what was read, -1 on short data.
  virtual int UnserializeEditorState(const IByteChunk&, int startPos) { return startPos; }
  virtual void SetScreenScale(float) {}

  // Null when out of range.
  IParam* GetParam(int paramIdx) const { return mParams.Get(paramIdx); }
  int NParams() const { return mParams.GetSize(); }

  int GetEditorWidth() const { return mEditorWidth; }
  int GetEditorHeight() const { return mEditorHeight; }
  void SetEditorSize(int width, int height)
  {
    mEditorWidth = width;
    mEditorHeight = height;
  }
  // Each pair is stored ordered so that min <= max.
  void SetSizeConstraints(int minW, int maxW, int minH, int maxH);
  int GetMinWidth() const { return mMinWidth; }
  int GetMaxWidth() const { return mMaxWidth; }
  int GetMinHeight() const { return mMinHeight; }
  int GetMaxHeight() const { return mMaxHeight; }

protected:
  UT_PtrList<IParam> mParams;
  int mEditorWidth = 0;
  int mEditorHeight = 0;
  int mMinWidth = 0;
  int mMaxWidth = 0;
  int mMinHeight = 0;
  int mMaxHeight = 0;
};

} // namespace plugin
