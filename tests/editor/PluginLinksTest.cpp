// The maker's controls as the layout places them on the real plug-in: file selectors that load and
// save curves through their messages, the update indicator's check, the
// push buttons of "Reset peak max" and "Match peak max", the read-outs the
// plug-in writes, and the corner resizer that leaves "GUI scale" alone
// unless the user drags.

#include <filesystem>

#include "IVTextControlZV.h"
#include "LayoutFixture.h"
#include "MakerControlsFixture.h"

namespace editortest {
namespace {

using L = IEditorPlugLinks;

// The bundle's pictures and fonts, with a file prompt that answers from the test's queue.
class BundlePromptGraphics : public FilePromptGraphics {
public:
  using FilePromptGraphics::FilePromptGraphics;
  const char* GetBundleID() override { return editorlayout::kBundleID; }
};

class LinkedPlug : public layouttest::LaidOutPlug {
public:
  // The editor as the layout builds it, on a graphics made at scale (the host's scale may differ).
  FilePromptGraphics* OpenEditor(float scale = 1.f)
  {
    SetMakeGraphicsFunc(
      [scale](IGEditorDelegate& d) -> IEditorGraphics* { return new BundlePromptGraphics(d, 650, 470, 60, scale); });
    return static_cast<FilePromptGraphics*>(OpenAny());
  }
  bool UpdateCheckPending() const { return mUpdateCheckPending; }
  bool MessagePending() const { return mMessagePending; }
  std::string MessageText() const { return mMessageText.Get(); }
  IControl* Control(L::EControl which) const { return GetUI()->GetControl(Index(which)); }
};

class PluginLinks : public layouttest::LayoutFixture {
protected:
  void SetUp() override
  {
    LayoutFixture::SetUp();
    plug = std::make_unique<LinkedPlug>();
  }
  void TearDown() override
  {
    plug.reset();
    LayoutFixture::TearDown();
  }
  std::string Path(const char* file) const { return (mRoot / file).string(); }

  std::unique_ptr<LinkedPlug> plug;
};

TEST_F(PluginLinks, SelectorsSaveAndLoadCurvesAndACancelChangesNothing)
{
  auto* g = plug->OpenEditor();
  for (unsigned k = 0; k < plug->Curves().Fingerprint().count; ++k)
    plug->Curves().Fingerprint().mag[k] = 0.5 + 0.01 * k;
  plug->Curves().SetFingerprintValid(true);
  // The save selectors show only while a fingerprint exists.
  EXPECT_TRUE(plug->Control(L::kCtrlSaveFingerprint)->IsHidden());
  plug->UpdateCustomStyleLabel();
  EXPECT_FALSE(plug->Control(L::kCtrlSaveFingerprint)->IsHidden());
  const std::vector<double> saved = testplug::Magnitudes(plug->Curves().Fingerprint());

  // Save as fingerprint and as reference; then clear and load both back.
  g->mFileAnswers = {Path("take.vrl"), Path("take.ref")};
  Click(*g, 170, 380);
  Click(*g, 330, 380);
  ASSERT_TRUE(std::filesystem::exists(Path("take.vrl")));
  ASSERT_TRUE(std::filesystem::exists(Path("take.ref")));
  plug->Curves().ClearFingerprint();
  plug->Curves().SetFingerprintValid(false);

  // A cancelled prompt: the message arrives with no path and is ignored.
  Click(*g, 90, 380);
  EXPECT_FALSE(plug->Curves().FingerprintValid());
  EXPECT_FALSE(plug->MessagePending());

  g->mFileAnswers = {Path("take.vrl"), Path("take.ref")};
  Click(*g, 90, 380);
  Click(*g, 260, 380);
  EXPECT_TRUE(plug->Curves().FingerprintValid());
  EXPECT_EQ(testplug::Magnitudes(plug->Curves().Fingerprint()), saved);
  EXPECT_EQ(testplug::Magnitudes(plug->Curves().CustomReference()), saved);
  EXPECT_STREQ(plug->Curves().CustomRefName(), "take.ref");
  // The custom-style read-out took the new name through its text link.
  EXPECT_STREQ(static_cast<IVTextControlZV*>(plug->Control(L::kCtrlCustomStyle))->GetStr(), "Custom Style: take.ref");
  EXPECT_FALSE(plug->MessagePending());
}

TEST_F(PluginLinks, SelectorsAreRefusedWhileCapturing)
{
  auto* g = plug->OpenEditor();
  plug->SetParameterValue(kActivityState, 0.0, true);
  ASSERT_EQ(plug->ActivityState(), kCapture);
  // Hidden while capturing: a click finds nothing.
  g->mFileAnswers = {Path("take.vrl"), Path("take.vrl")};
  Click(*g, 90, 380);
  EXPECT_TRUE(g->mPrompts.empty());
  EXPECT_FALSE(plug->MessagePending());
  // A press that reaches it anyway is refused with its message.
  plug->Control(L::kCtrlLoadFingerprint)->OnMouseDown(90, 380, Left());
  EXPECT_TRUE(plug->MessagePending());
  EXPECT_EQ(plug->MessageText(), "Capture running");
}

TEST_F(PluginLinks, UpdateIndicatorAsksForACheckAndPushesHoldTheirParameter)
{
  auto* g = plug->OpenEditor();
  Click(*g, 620, 25);
  EXPECT_TRUE(plug->UpdateCheckPending());

  plug->Output().NotePeak(0.5);
  g->OnMouseDown(At(500, 370));
  EXPECT_EQ(plug->GetParam(kResetPeakMax)->Value(), 1.0);
  EXPECT_EQ(plug->Output().PeakMax(), 0.0);
  g->OnMouseUp(At(10, 10));
  EXPECT_EQ(plug->GetParam(kResetPeakMax)->Value(), 0.0);

  // Match: the gain falls by the peak's level, 6.02 dB for a peak of twice full scale.
  plug->Output().NotePeak(2.0);
  g->OnMouseDown(At(410, 360));
  EXPECT_EQ(plug->GetParam(kMatchPeakMax)->Value(), 1.0);
  g->OnMouseUp(At(410, 360));
  EXPECT_EQ(plug->GetParam(kMatchPeakMax)->Value(), 0.0);
  EXPECT_NEAR(plug->GetParam(::kGain)->Value(), -6.0, 0.051);
}

TEST_F(PluginLinks, OpeningAtAnotherScaleLeavesTheHostsGUIScaleAndADragSetsIt)
{
  // No version check from the idle tick: this test has no network.
  plug->GetParam(kOnlineUpdateCheck)->Set(0.0);
  plug->OnParamChange(kOnlineUpdateCheck, plugin::kHost, 0);
  plug->SetParameterValue(kGUIScale, plug->GetParam(kGUIScale)->ToNormalized(1.5), true);
  ASSERT_DOUBLE_EQ(plug->GUIScale(), 1.5);
  // The editor opens at 1 before the plug-in's idle tick resizes it.
  auto* g = plug->OpenEditor(1.f);
  EXPECT_EQ(plug->GetParam(kGUIScale)->Value(), 1.5);
  plug->OnIdle();
  EXPECT_FLOAT_EQ(g->GetDrawScale(), 1.5f);
  EXPECT_EQ(plug->GetParam(kGUIScale)->Value(), 1.5);

  // A drag from the corner to 1.2 times the press point sets the parameter.
  g->OnMouseDown(At(640, 460));
  g->OnMouseDrag(At(768, 552, Left(), 128, 92));
  g->OnMouseUp(At(768, 552));
  EXPECT_NEAR(g->GetDrawScale(), 1.8, 1e-5);
  // The parameter takes the draw scale as it stands (a float).
  EXPECT_NEAR(plug->GetParam(kGUIScale)->Value(), 1.8, 1e-6);
}

} // namespace
} // namespace editortest
