#pragma once
// What an editor delegate asks of the graphics context it owns: its size and
// scale, opening and closing its window, values and messages for its
// controls, and keys. The graphics layer implements it, so the framework
// needs neither drawing nor controls. Main thread only.

#include <functional>

namespace plugin {
struct IKeyPress;
struct IMidiMsg;
} // namespace plugin

namespace plugin::igraphics {

class IGraphics;
class IEditorGraphics;
class IGEditorDelegate;

// Makes the editor's graphics context for the delegate that asks (null: no
// editor), and lays out the controls on one. The composition root chooses
// both; the delegate keeps them.
using MakeGraphicsFunc = std::function<IEditorGraphics*(IGEditorDelegate&)>;
using LayoutFunc = std::function<void(IGraphics*)>;

class IEditorGraphics {
public:
  virtual ~IEditorGraphics() = default;

  // The same object, as the graphics layer's type (for layout functions and
  // the plug-in's idle work).
  virtual IGraphics* GetGraphics() = 0;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual float GetDrawScale() const = 0;
  virtual void Resize(int w, int h, float scale, bool needsPlatformResize) = 0;
  virtual void SetScreenScale(float scale) = 0;
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;

  // To the control with that tag, if there is one.
  virtual void SendControlValueFromDelegate(int ctrlTag, double normalizedValue) = 0;
  virtual void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* data) = 0;
  // To every value of every control linked to the parameter.
  virtual void SendParameterValueFromDelegate(int paramIdx, double normalizedValue) = 0;
  // To every control that wants MIDI.
  virtual void SendMidiMsgFromDelegate(const IMidiMsg& msg) = 0;
  // A key while the editor has focus, at the present mouse location; true
  // when something took it.
  virtual bool KeyDownFromDelegate(const IKeyPress& key) = 0;
  virtual bool KeyUpFromDelegate(const IKeyPress& key) = 0;
};

} // namespace plugin::igraphics
