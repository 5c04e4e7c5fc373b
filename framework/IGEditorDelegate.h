#pragma once
// Editor delegate bound to one graphics context: creates it through a
// stored make-graphics function, lays it out through a stored layout
// function, forwards values and messages to its controls, remembers the
// editor size across closing and reopening and writes it into saved state.
// Main thread only.

#include <functional>
#include <memory>

#include "IEditorDelegate.h"
#include "IEditorGraphics.h"

namespace plugin::igraphics {

class IGEditorDelegate : public IEditorDelegate {
public:
  explicit IGEditorDelegate(int nParams);
  ~IGEditorDelegate() override;

  void* OpenWindow(void* parentView) override;
  void CloseWindow() override;
  void SetScreenScale(float scale) override;
  void SendControlValueFromDelegate(int ctrlTag, double normalizedValue) override;
  void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* data) override;
  void SendParameterValueFromDelegate(int paramIdx, double value, bool normalized) override;
  void SendMidiMsgFromDelegate(const IMidiMsg& msg) override;
  bool OnKeyDown(const IKeyPress& key) override;
  bool OnKeyUp(const IKeyPress& key) override;
  // Width, height (int32) and scale (float bits), 12 bytes in host order.
  bool SerializeEditorState(IByteChunk& chunk) const override;
  // -1 on short data, which changes nothing; a zero width, height or scale
  // is never taken as a size.
  int UnserializeEditorState(const IByteChunk& chunk, int startPos) override;

  // Null when no make-graphics function is stored.
  virtual IEditorGraphics* CreateGraphics();
  virtual void LayoutUI(IGraphics* graphics);

  void SetMakeGraphicsFunc(MakeGraphicsFunc func) { mMakeGraphicsFunc = std::move(func); }
  void SetLayoutFunc(LayoutFunc func) { mLayoutFunc = std::move(func); }

  // The graphics object while the editor is ready, else null.
  IGraphics* GetUI() const { return mEditorReady && mGraphics ? mGraphics->GetGraphics() : nullptr; }
  // The graphics object whenever one exists.
  IGraphics* GetGraphics() const { return mGraphics ? mGraphics->GetGraphics() : nullptr; }
  // Written by the platform layer when it opens the view.
  void SetEditorReady(bool ready) { mEditorReady = ready; }
  bool GetEditorReady() const { return mEditorReady; }

  bool HasSavedSize() const { return mHasSavedSize; }
  int GetSavedWidth() const { return mSavedWidth; }
  int GetSavedHeight() const { return mSavedHeight; }
  float GetSavedScale() const { return mSavedScale; }

  MakeGraphicsFunc mMakeGraphicsFunc;
  LayoutFunc mLayoutFunc;

private:
  // OnUIClose, remember the size, close and delete the graphics object.
  void CloseGraphics();

  std::unique_ptr<IEditorGraphics> mGraphics;
  int mSavedWidth = 0;
  int mSavedHeight = 0;
  float mSavedScale = 0.f;
  bool mHasSavedSize = false;
  bool mClosing = false;
  bool mEditorReady = false;
};

} // namespace plugin::igraphics
