#pragma once
// An editor for the maker's controls: the plug-in's parameters they link to
// ("Gain", "Mix", "Reference mode", "Activity state", a two-state push, one
// unstepped value and one stepped in tenths), a delegate that records the message tags sent to
// the plug-in, and a graphics whose file prompt answers from a queue the
// test fills, as the platform's open and save panels do.

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "IGraphicsConstants.h"
#include "Vorelle3Params.h"

namespace editortest {

using namespace testsupport;

enum { kGain = 0, kMix, kRefMode, kActivity, kPush, kFree, kDecimal, kNumTestParams };

// The platform's file panel with a person answering: each prompt takes the
// next queued path ("" cancels, as does an empty queue); a chosen file's
// folder is written back, a cancel leaves the folder as it was.
class FilePromptGraphics : public TestGraphics {
public:
  using TestGraphics::TestGraphics;

  void PromptForFile(UT_String& fileName, UT_String& path, int action, const char* ext) override
  {
    mPrompts.push_back(Fmt("prompt %g in ", action) + path.Get() + " for " + (ext ? ext : ""));
    std::string answer;
    if (!mFileAnswers.empty()) {
      answer = mFileAnswers.front();
      mFileAnswers.pop_front();
    }
    fileName.Set(answer.c_str());
    if (const auto slash = answer.find_last_of('/'); !answer.empty() && slash != std::string::npos)
      path.Set(answer.substr(0, slash).c_str());
  }

  std::deque<std::string> mFileAnswers;
  std::vector<std::string> mPrompts;
};

// Records every message and parameter change that reaches the plug-in side.
class MessageDelegate : public TestDelegate {
public:
  using TestDelegate::TestDelegate;
  void OnParamChange(int paramIdx, EParamSource source, int sampleOffset) override
  {
    mMessages.push_back(paramIdx);
    IGEditorDelegate::OnParamChange(paramIdx, source, sampleOffset);
  }
  std::vector<int> TakeMessages()
  {
    auto m = std::move(mMessages);
    mMessages.clear();
    return m;
  }
  std::vector<int> mMessages;
};

// A left press, with shift or control held when asked.
inline IMouseMod Left(bool shift = false, bool control = false)
{
  IMouseMod m;
  m.L = true;
  m.S = shift;
  m.C = control;
  return m;
}
inline IMouseInfoList At(float x, float y, const IMouseMod& mod = Left(), float dx = 0, float dy = 0)
{
  IMouseInfo i;
  i.x = x;
  i.y = y;
  i.dX = dx;
  i.dY = dy;
  i.ms = mod;
  return {i};
}

// A left click: press and release at one point.
inline void Click(IGraphics& g, float x, float y, const IMouseMod& mod = Left())
{
  g.OnMouseDown(At(x, y, mod));
  g.OnMouseUp(At(x, y, mod));
}

class MakerControlsFixture : public ::testing::Test {
protected:
  void SetUp() override
  {
    // Declared as the plug-in declares them, so the controls meet what ships.
    DeclareVorelle3Param(::kGain, *dlg.GetParam(kGain), 0.0);
    DeclareVorelle3Param(::kMix, *dlg.GetParam(kMix), 100.0);
    DeclareVorelle3Param(::kReferenceMode, *dlg.GetParam(kRefMode), 0.0);
    DeclareVorelle3Param(::kActivityState, *dlg.GetParam(kActivity), 1.0);
    DeclareVorelle3Param(::kResetPeakMax, *dlg.GetParam(kPush), 0.0);
    dlg.GetParam(kFree)->InitDouble("Free", 0.5, 0.0, 1.0, 0.001);
    dlg.GetParam(kDecimal)->InitDouble("Tenths", 0.0, -24.0, 24.0, 0.1, "dB", IParam::kFlagStepped);
    dlg.SetMakeGraphicsFunc([](IGEditorDelegate& d) { return new FilePromptGraphics(d, 650, 470, 60, 1.f); });
    dlg.OpenWindow(nullptr);
    dlg.SetEditorReady(true);
    g = static_cast<FilePromptGraphics*>(dlg.GetGraphics());
    g->EnableMouseOver(true);
    // The background sits at index 0, which never hovers.
    auto* background = new RecordingControl("background", g->GetBounds());
    background->SetIgnoreMouse(true);
    g->AttachControl(background);
    g->TakeLog();
    dlg.TakeLog();
  }

  // A strip of n frames of w x h points each, stacked, owned by the test.
  IBitmap Strip(const char* name, int w, int h, int n, bool horizontal = false)
  {
    const int W = horizontal ? w * n : w, H = horizontal ? h : h * n;
    mBitmaps.push_back(std::make_unique<TestBitmap>(W, H, 1.f, 1.f));
    return IBitmap(mBitmaps.back().get(), n, horizontal, name);
  }

  void Click(float x, float y, const IMouseMod& mod = Left()) { editortest::Click(*g, x, y, mod); }
  double Real(int paramIdx) const { return dlg.GetParam(paramIdx)->Value(); }
  // The log lines of drawing c once that start with one of the prefixes.
  Log Drawn(IControl& c, std::initializer_list<const char*> prefixes = {"DrawBitmap", "PathFill"})
  {
    g->TakeLog();
    c.Draw(*g);
    Log lines;
    for (const std::string& l : g->TakeLog())
      for (const char* p : prefixes)
        if (l.rfind(p, 0) == 0)
          lines.push_back(l);
    return lines;
  }

  MessageDelegate dlg{kNumTestParams};
  FilePromptGraphics* g = nullptr;
  std::vector<std::unique_ptr<TestBitmap>> mBitmaps;
};

} // namespace editortest
