#include "IEditorDelegate.h"

#include <algorithm>

namespace plugin {

IEditorDelegate::IEditorDelegate(int nParams) : mParams(4096)
{
  for (int i = 0; i < nParams; ++i)
    mParams.Add(new IParam());
}

IEditorDelegate::~IEditorDelegate() { mParams.Empty(true); }

void* IEditorDelegate::OpenWindow(void*)
{
  OnUIOpen();
  return nullptr;
}

void IEditorDelegate::CloseWindow() { OnUIClose(); }

void IEditorDelegate::OnUIOpen() { SendCurrentParamValuesFromDelegate(); }

void IEditorDelegate::OnParamChange(int paramIdx, EParamSource, int) { OnParamChangeIdx(paramIdx); }

void IEditorDelegate::OnParamReset(EParamSource source)
{
  for (int i = 0; i < NParams(); ++i) {
    OnParamChange(i, source, -1);
    OnParamChangeUI(i, source);
  }
}

void IEditorDelegate::SendCurrentParamValuesFromDelegate()
{
  for (int i = 0; i < NParams(); ++i)
    SendParameterValueFromDelegate(i, GetParam(i)->GetNormalized(), true);
}

void IEditorDelegate::SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* data)
{
  OnMessage(msgTag, ctrlTag, dataSize, data);
}

void IEditorDelegate::SendArbitraryMsgFromDelegate(int msgTag, int dataSize, const void* data)
{
  OnMessage(msgTag, -1, dataSize, data);
}

void IEditorDelegate::SendMidiMsgFromDelegate(const IMidiMsg& msg) { OnMidiMsgUI(msg); }

void IEditorDelegate::SendSysexMsgFromDelegate(const SysExData& msg) { OnSysexMsgUI(msg); }

void IEditorDelegate::SendParameterValueFromDelegate(int paramIdx, double, bool)
{
  OnParamChangeUI(paramIdx, kDelegate);
}

void IEditorDelegate::SendParameterValueFromUI(int paramIdx, double normalizedValue, bool)
{
  if (IParam* p = GetParam(paramIdx))
    p->SetNormalized(normalizedValue);
  OnParamChangeUI(paramIdx, kUI);
}

void IEditorDelegate::SetSizeConstraints(int minW, int maxW, int minH, int maxH)
{
  mMinWidth = std::min(minW, maxW);
  mMaxWidth = std::max(minW, maxW);
  mMinHeight = std::min(minH, maxH);
  mMaxHeight = std::max(minH, maxH);
}

} // namespace plugin
