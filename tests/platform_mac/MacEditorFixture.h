#pragma once
// A headless host for the macOS editor: a stand-in window at a chosen
// backing scale holds the view the plug-in's delegate opens; events go in
// through the window as the platform delivers them. The test editor is made
// of the control bases already built: a background panel, a knob (param 0),
// a switch (param 1), a prompt area for a double (param 2) and for an enum
// (param 3), and a drop target that sets param 1.

#include <AppKit/AppKit.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "IBitmapControl.h"
#include "IControlBases.h"
#include "IGraphicsConstants.h"
#include "IGraphicsMac.h"
#include "IGraphicsView.h"
#include "TestGraphics.h"

namespace mactest {

using namespace plugin;
using namespace plugin::igraphics;

class TestKnob : public IKnobControlBase {
public:
  using IKnobControlBase::IKnobControlBase;
  void Draw(IGraphics& g) override { g.FillRect(IColor(255, 40, int(200 * GetValue()) + 40, 40), mRECT); }
};

class TestSwitch : public ISwitchControlBase {
public:
  using ISwitchControlBase::ISwitchControlBase;
  void Draw(IGraphics& g) override { g.FillRect(GetValue() > 0.5 ? IColor(255, 240, 200, 0) : COLOR_GRAY, mRECT); }
};

// Asks for the parameter's value: a text field for numbers, a menu for lists.
class PromptArea : public IControl {
public:
  PromptArea(const IRECT& r, int paramIdx) : IControl(r, paramIdx) { mDisablePrompt = false; }
  void Draw(IGraphics& g) override { g.FillRect(COLOR_WHITE, mRECT); }
  void OnMouseDown(float, float, const IMouseMod&) override { PromptUserInput(0); }
};

class DropTarget : public IControl {
public:
  DropTarget(const IRECT& r, int paramIdx) : IControl(r, paramIdx) {}
  void Draw(IGraphics& g) override { g.FillRect(COLOR_BLUE, mRECT); }
  void OnDrop(const char* str) override
  {
    dropped.push_back(str);
    SetValue(1.0);
    SetDirty(true);
  }
  std::vector<std::string> dropped;
};

inline const IRECT kKnob(10, 10, 60, 60), kSwitch(70, 10, 110, 40), kNumber(120, 10, 190, 30),
  kChoice(120, 40, 190, 60), kDrop(10, 80, 90, 140);
constexpr int kW = 200, kH = 150;

class MacEditorFixture : public ::testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    dlg.GetParam(0)->InitDouble("gain", 0.0, 0.0, 1.0, 0.001);
    dlg.GetParam(1)->InitBool("bypass", false);
    dlg.GetParam(2)->InitDouble("freq", 100.0, -100.0, 1000.0, 0.1);
    dlg.GetParam(3)->InitEnum("mode", 0, {"one", "two", "three"});
    dlg.SetMakeGraphicsFunc([this](IGEditorDelegate& d) {
      auto* g = new IGraphicsMac(d, kW, kH, 60, drawScale);
      g->SetClock([this] { return clockMs; });
      return g;
    });
    dlg.SetLayoutFunc([this](IGraphics* g) { Layout(*g); });
  }

  void TearDown() override
  {
    CloseHost();
    standin::DrainAutoreleasePools();
  }

  virtual void Layout(IGraphics& g)
  {
    g.AttachControl(new IPanelControl(g.GetBounds(), IPattern(COLOR_LIGHT_GRAY)));
    g.AttachControl(new TestKnob(kKnob, 0));
    g.AttachControl(new TestSwitch(kSwitch, 1));
    g.AttachControl(new PromptArea(kNumber, 2));
    g.AttachControl(new PromptArea(kChoice, 3));
    drop = new DropTarget(kDrop, 1);
    g.AttachControl(drop);
    g.GetControl(1)->SetTooltip("Gain");
  }

  // The host's window at a backing scale with the editor view in it. The
  // window may sit on another screen than the main one (windowScale), and
  // the host may hold the view in a content view of its own.
  void OpenHost(float screenScale, float scale = 1.f, double windowScale = 0.0, NSView* content = nullptr)
  {
    drawScale = scale;
    standin::SetMainScreenScale(screenScale);
    window = NSWindow::alloc()->initWithContentRect(NSMakeRect(300, 200, kW * scale, kH * scale),
                                                    NSWindowStyleMaskTitled, NSBackingStoreBuffered, NO);
    if (windowScale > 0.0)
      window->setBackingScaleFactor(windowScale);
    if (content)
      window->setContentView(content);
    view = static_cast<IGraphicsView_vVorelle3_au*>(dlg.OpenWindow(window->contentView()));
  }

  void CloseHost()
  {
    if (window) {
      window->close(); // the host takes the view away
      window->release();
      window = nullptr;
    }
    view = nullptr;
  }

  IGraphicsMac* Graphics() const { return static_cast<IGraphicsMac*>(dlg.GetGraphics()); }

  // Window base point of an editor point (the window is not flipped).
  NSPoint At(float x, float y) const { return NSMakePoint(x * drawScale, (kH - y) * drawScale); }

  void Mouse(NSEventType type, float x, float y, NSEventModifierFlags flags = 0, NSInteger clicks = 1)
  {
    window->sendEvent(NSEvent::mouseEventWithType(type, At(x, y), flags, 0, 0, nullptr, 0, clicks, 1.f));
  }

  void Key(NSEventType type, unsigned short code, const char16_t* chars, NSEventModifierFlags flags = 0)
  {
    const std::u16string text = chars ? chars : u"";
    NSString* s = NSString::stringWithCharacters(reinterpret_cast<const unichar*>(text.data()), text.size());
    window->sendEvent(NSEvent::keyEventWithType(type, NSMakePoint(0, 0), flags, 0, 0, nullptr, s, s, NO, code));
  }

  void Click(float x, float y, NSEventModifierFlags flags = 0)
  {
    Mouse(NSEventTypeLeftMouseDown, x, y, flags);
    Mouse(NSEventTypeLeftMouseUp, x, y, flags);
  }

  double Value(int param) const { return dlg.GetParam(param)->Value(); }

  testsupport::TestDelegate dlg{4};
  NSWindow* window = nullptr;
  IGraphicsView_vVorelle3_au* view = nullptr;
  DropTarget* drop = nullptr;
  float drawScale = 1.f;
  double clockMs = 0.0;
};

} // namespace mactest
