#include "IPluginAPIBase.h"

#include <cmath>
#include <cstring>

namespace plugin {

IPluginAPIBase::IPluginAPIBase(Config config, EAPI api) : IPluginBase(config.nParams, config.nPresets)
{
  mUniqueID = config.uniqueID;
  mMfrID = config.mfrID;
  mVersion = config.vendorVersion;
  mPluginName.Set(config.pluginName, kMaxNameChars);
  mProductName.Set(config.productName, kMaxNameChars);
  mMfrName.Set(config.mfrName, kMaxNameChars);
  mHasUI = config.plugHasUI;
  mHostResize = config.plugHostResize;
  SetEditorSize(config.plugWidth, config.plugHeight);
  SetSizeConstraints(config.plugMinMaxWidth[0], config.plugMinMaxWidth[1], config.plugMinMaxHeight[0],
                     config.plugMinMaxHeight[1]);
  mStateChunks = config.plugDoesChunks;
  mAPI = api;
  mBundleID.Set(config.bundleID);
  mHostName.Set("Unknown");
}

IPluginAPIBase::~IPluginAPIBase()
{
  StopTimer();
  mTimer.reset();
}

bool IPluginAPIBase::CompareState(const uint8_t* data, int dataSize, int startPos) const
{
  if (NParams() == 0)
    return true;
  if (!data || dataSize < 0 || startPos < 0)
    return false;
  // Data too short to hold every value is not the same state.
  const int64_t nPresent = static_cast<int64_t>(dataSize) / 8 - startPos;
  if (nPresent < NParams())
    return false;
  for (int i = 0; i < NParams(); ++i) {
    double stored;
    std::memcpy(&stored, data + (static_cast<int64_t>(startPos) + i) * 8, sizeof(double));
    const float a = static_cast<float>(GetParam(i)->Value());
    const float b = static_cast<float>(stored);
    if (!(std::fabs(a - b) < 1e-5f))
      return false;
  }
  return true;
}

void IPluginAPIBase::FillParamIndexList(int count, UT_TypedBuf<int32_t>& list) const
{
  if (count >= 1 && count < NParams()) {
    for (int32_t i = 0; i < count; ++i)
      list.Add(i);
  }
}

void IPluginAPIBase::PrintDebugInfo() const
{
  UT_String info;
  GetBuildInfoStr(info);
}

void IPluginAPIBase::SendParameterValueFromAPI(int paramIdx, double value, bool normalized)
{
  if (normalized)
    value = GetParam(paramIdx)->FromNormalized(value);
  mParamChangeFromProcessor.Push(ParamTuple{paramIdx, value});
}

void IPluginAPIBase::DirtyParametersFromUI()
{
  for (int i = 0; i < NParams(); ++i)
    InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

void IPluginAPIBase::SendParameterValueFromUI(int paramIdx, double normalizedValue, bool notifyPlugin)
{
  SetParameterValue(paramIdx, normalizedValue, notifyPlugin);
  IPluginBase::SendParameterValueFromUI(paramIdx, normalizedValue, notifyPlugin);
}

bool IPluginAPIBase::EditorResizeFromUI(int width, int height, bool needsPlatformResize)
{
  return needsPlatformResize ? EditorResize(width, height) : true;
}

void IPluginAPIBase::SendArbitraryMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void* data)
{
  OnMessage(msgTag, ctrlTag, dataSize, data);
}

void IPluginAPIBase::SetParameterValue(int paramIdx, double normalizedValue, bool notifyPlugin)
{
  // A value that is not finite is refused: nothing to tell anyone.
  if (!GetParam(paramIdx)->SetNormalized(normalizedValue))
    return;
  InformHostOfParamChange(paramIdx, normalizedValue);
  if (notifyPlugin)
    OnParamChange(paramIdx, kUI, -1);
}

void IPluginAPIBase::SetHost(const char* name, int version)
{
  StoreHost(name, version);
  OnHostIdentified();
  OnHostIdentifiedPost();
}

void IPluginAPIBase::CreateTimer()
{
  StopTimer();
  mTimer.reset(Timer::Create([this](Timer& t) { OnTimer(t); }, kTimerIntervalMs));
}

void IPluginAPIBase::StopTimer()
{
  if (mTimer)
    mTimer->Stop();
}

void IPluginAPIBase::OnTimer(Timer&)
{
  if (mHasUI) {
    ParamTuple p;
    while (mParamChangeFromProcessor.Pop(p))
      SendParameterValueFromDelegate(p.idx, p.value, false);
    IMidiMsg msg;
    while (mMidiMsgsFromProcessor.Pop(msg))
      SendMidiMsgFromDelegate(msg);
    SysExData sysex;
    while (mSysExDataFromProcessor.Pop(sysex))
      SendSysexMsgFromDelegate(sysex);
  }
  OnIdle();
}

} // namespace plugin
