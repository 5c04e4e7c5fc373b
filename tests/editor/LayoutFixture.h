#pragma once
// The real plug-in with its editor laid out by the editor's layout function
// on a recording graphics context that finds its pictures and fonts in the
// built bundle, the way the platform's context does.

#include <gtest/gtest.h>
#include <standin/Testing.h>

#include <string>
#include <vector>

#include "ControlMakers.h"
#include "EditorLayout.h"
#include "TestGraphics.h"
#include "Vorelle3Fixture.h"
#include "Vorelle3Layout.h"

namespace layouttest {

using namespace plugin;
using namespace plugin::igraphics;

// A recording context that looks up resources under the bundle identifier.
class BundleGraphics : public testsupport::TestGraphics {
public:
  using TestGraphics::TestGraphics;
  const char* GetBundleID() override { return mBundleID.c_str(); }
  std::string mBundleID = editorlayout::kBundleID;
  bool mReady = true;
  bool IsContextReady() const override { return mReady; }
  // A person who cancels every file panel, after it is recorded.
  void PromptForFile(UT_String& fileName, UT_String& path, int action, const char* ext) override
  {
    mPrompts.push_back(testsupport::Fmt("prompt %g in ", action) + path.Get() + " for " + (ext ? ext : ""));
    fileName.Set("");
  }
  std::vector<std::string> mPrompts;
};

class LaidOutPlug : public testplug::TestVorelle3 {
public:
  LaidOutPlug()
  {
    SetMakeGraphicsFunc([this](IGEditorDelegate& d) -> IEditorGraphics* {
      auto* g = new BundleGraphics(d, 650, 470, 60, float(EditorGUIScale()));
      g->mReady = mContextReady;
      g->mFontFiles = {"Roboto-Regular.ttf", "verdana.ttf", "verdanab.ttf"};
      // As the module does: the layout's drawn menu and text entry exist.
      InstallControlMakers(*g);
      return g;
    });
    SetLayoutFunc(LayoutVorelle3EditorOfDelegate);
  }

  // Opens the editor as the platform does: context, ready flag, layout,
  // then the delegate's opening call.
  IGraphics* OpenAny()
  {
    OpenWindow(nullptr);
    IGraphics* g = GetGraphics();
    if (!g)
      return nullptr;
    SetEditorReady(g->IsContextReady());
    LayoutUI(g);
    OnUIOpen();
    return g;
  }
  BundleGraphics* Open() { return static_cast<BundleGraphics*>(OpenAny()); }
  void Close()
  {
    CloseWindow();
    SetEditorReady(false);
  }

  int Index(IEditorPlugLinks::EControl which) const
  {
    const int slots[kNumLinkedControls] = {
      mCtrlUpdate, mCtrlCustomStyle,     mCtrlCaptureLED,      mCtrlClipLED,       mCtrlPeakText,     mCtrlTuneBox,
      mCtrlNeedle, mCtrlLoadFingerprint, mCtrlSaveFingerprint, mCtrlLoadReference, mCtrlSaveReference};
    return slots[which];
  }
  bool ControlsAttached() const { return mControlsAttached; }
  // Message tags (10 and above) the editor sends the plug-in, recorded.
  void OnParamChange(int paramIdx, EParamSource source, int sampleOffset) override
  {
    if (paramIdx >= 10)
      mMessages.push_back(paramIdx);
    TestVorelle3::OnParamChange(paramIdx, source, sampleOffset);
  }
  std::vector<int> mMessages;
  void SetFingerprintValid(bool valid) { Curves().SetFingerprintValid(valid); }

  bool mContextReady = true;
};

class LayoutFixture : public testplug::Vorelle3Test {
protected:
  void SetUp() override
  {
    Vorelle3Test::SetUp();
    standin::RegisterBundleAtPath(VORELLE3_BUNDLE_DIR);
  }
};

} // namespace layouttest
