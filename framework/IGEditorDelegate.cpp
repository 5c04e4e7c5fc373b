#include "IGEditorDelegate.h"

#include "IParam.h"

namespace plugin::igraphics {

IGEditorDelegate::IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

IGEditorDelegate::~IGEditorDelegate()
{
  // Controls talk to the delegate while they are destroyed.
  mGraphics.reset();
}

void IGEditorDelegate::CloseGraphics()
{
  OnUIClose();
  if (mGraphics) {
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
  if (mGraphics && !mClosing) {
    mClosing = true;
    CloseGraphics();
    mClosing = false;
  }
  IEditorGraphics* graphics = CreateGraphics();
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

IEditorGraphics* IGEditorDelegate::CreateGraphics() { return mMakeGraphicsFunc ? mMakeGraphicsFunc(*this) : nullptr; }

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
  if (mGraphics)
    mGraphics->SendControlValueFromDelegate(ctrlTag, normalizedValue);
}

void IGEditorDelegate::SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* data)
{
  if (mGraphics)
    mGraphics->SendControlMsgFromDelegate(ctrlTag, msgTag, dataSize, data);
}

void IGEditorDelegate::SendParameterValueFromDelegate(int paramIdx, double value, bool normalized)
{
  if (mGraphics) {
    if (!normalized) {
      const IParam* p = GetParam(paramIdx);
      value = p ? p->ToNormalized(value) : value;
    }
    mGraphics->SendParameterValueFromDelegate(paramIdx, value);
  }
  IEditorDelegate::SendParameterValueFromDelegate(paramIdx, value, normalized);
}

void IGEditorDelegate::SendMidiMsgFromDelegate(const IMidiMsg& msg)
{
  if (mGraphics)
    mGraphics->SendMidiMsgFromDelegate(msg);
  OnMidiMsgUI(msg);
}

bool IGEditorDelegate::OnKeyDown(const IKeyPress& key)
{
  if (!mEditorReady || !mGraphics)
    return false;
  return mGraphics->KeyDownFromDelegate(key);
}

bool IGEditorDelegate::OnKeyUp(const IKeyPress& key)
{
  if (!mEditorReady || !mGraphics)
    return false;
  return mGraphics->KeyUpFromDelegate(key);
}

} // namespace plugin::igraphics
