#include "IGEditorDelegate.h"

#include "IControl.h"
#include "IGraphics.h"
#include "IPluginStructs.h"

namespace plugin::igraphics {

IGEditorDelegate::IGEditorDelegate(int nParams) : IEditorDelegate(nParams)
{
}

IGEditorDelegate::~IGEditorDelegate()
{
  // Controls talk to the delegate while they are destroyed.
  mGraphics.reset();
}

void IGEditorDelegate::CloseGraphics()
{
  OnUIClose();
  if (mGraphics)
  {
    mSavedWidth = mGraphics->Width();
    mSavedHeight = mGraphics->Height();
    mSavedScale = mGraphics->GetDrawScale();
    mHasSavedSize = true;
    mGraphics->CloseWindow();
    mGraphics.reset();
  }
}

void* IGEditorDelegate::OpenWindow(void* parentView)
{
  if (mGraphics && !mClosing)
  {
    mClosing = true;
    CloseGraphics();
    mClosing = false;
  }
  IGraphics* graphics = CreateGraphics();
  mGraphics.reset(graphics);
  if (!graphics)
    return nullptr;
  if (mHasSavedSize)
    graphics->Resize(mSavedWidth, mSavedHeight, mSavedScale, true);
  return graphics->OpenWindow(parentView);
}

void IGEditorDelegate::CloseWindow()
{
  if (mClosing)
    return;
  mClosing = true;
  CloseGraphics();
  mClosing = false;
}

IGraphics* IGEditorDelegate::CreateGraphics()
{
  return mMakeGraphicsFunc ? mMakeGraphicsFunc() : nullptr;
}

void IGEditorDelegate::LayoutUI(IGraphics* graphics)
{
  if (mLayoutFunc && graphics)
    mLayoutFunc(graphics);
}

void IGEditorDelegate::SetScreenScale(float scale)
{
  if (mEditorReady && mGraphics)
    mGraphics->SetScreenScale(scale);
}

void IGEditorDelegate::SendControlValueFromDelegate(int ctrlTag, double normalizedValue)
{
  if (!mGraphics)
    return;
  if (IControl* c = mGraphics->GetControlWithTag(ctrlTag))
    c->SetValueFromDelegate(normalizedValue, 0);
}

void IGEditorDelegate::SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* data)
{
  if (!mGraphics)
    return;
  if (IControl* c = mGraphics->GetControlWithTag(ctrlTag))
    c->OnMsgFromDelegate(msgTag, dataSize, data);
}

void IGEditorDelegate::SendParameterValueFromDelegate(int paramIdx, double value, bool normalized)
{
  if (mGraphics)
  {
    if (!normalized)
    {
      const IParam* p = GetParam(paramIdx);
      value = p ? p->ToNormalized(value) : value;
    }
    for (int i = 0; i < mGraphics->NControls(); ++i)
    {
      IControl* c = mGraphics->GetControl(i);
      for (int v = 0; v < c->NVals(); ++v)
        if (c->GetParamIdx(v) == paramIdx)
          c->SetValueFromDelegate(value, v);
    }
  }
  IEditorDelegate::SendParameterValueFromDelegate(paramIdx, value, normalized);
}

void IGEditorDelegate::SendMidiMsgFromDelegate(const IMidiMsg& msg)
{
  if (mGraphics)
    for (int i = 0; i < mGraphics->NControls(); ++i)
      if (IControl* c = mGraphics->GetControl(i); c->GetWantsMidi())
        c->OnMidi(msg);
  OnMidiMsgUI(msg);
}

bool IGEditorDelegate::OnKeyDown(const IKeyPress& key)
{
  if (!mEditorReady || !mGraphics)
    return false;
  float x = 0.f, y = 0.f;
  mGraphics->GetMouseLocation(x, y);
  return mGraphics->OnKeyDown(x, y, key);
}

bool IGEditorDelegate::OnKeyUp(const IKeyPress& key)
{
  if (!mEditorReady || !mGraphics)
    return false;
  float x = 0.f, y = 0.f;
  mGraphics->GetMouseLocation(x, y);
  return mGraphics->OnKeyUp(x, y, key);
}

} // namespace plugin::igraphics
