// The maker's controls on the real plug-in: file selectors that load and
// save curves through their messages, the update indicator's check, the
// push buttons of "Reset peak max" and "Match peak max", the read-outs the
// plug-in writes, and the corner resizer that leaves "GUI scale" alone
// unless the user drags.

#include <filesystem>

#include "IBControlsZV.h"
#include "IBCornerResizerControlZV.h"
#include "IVFileSelectorControlHiddenZV.h"
#include "IVHiddenControlsZV.h"
#include "IVTextControlZV.h"
#include "MakerControlsFixture.h"
#include "Vorelle3Fixture.h"

namespace editortest {
namespace {

class LinkedPlug : public testplug::TestVorelle3 {
public:
  // The editor as the layout builds it, with the controls the plug-in keeps
  // positions of, on a graphics made at scale (the host's scale may differ).
  FilePromptGraphics* OpenEditor(const std::string& folder, float scale = 1.f)
  {
    SetMakeGraphicsFunc([scale](IGEditorDelegate& d) { return new FilePromptGraphics(d, 650, 470, 60, scale); });
    OpenWindow(nullptr);
    SetEditorReady(true);
    auto* g = static_cast<FilePromptGraphics*>(GetGraphics());
    mStrip = std::make_unique<TestBitmap>(20, 40, 1.f, 1.f);
    const IBitmap two(mStrip.get(), 2, false, "two");
    g->AttachCornerResizer(new IBCornerResizerControlZV(two, -1, -1, 20, 21, g->GetBounds()), 0, true);
    g->SetScaleLimits(0.5f, 3.f);
    mCtrlUpdate = Attach(g, new IBUpdateControlZV(612, 18, two, 12));
    mCtrlCustomStyle = Attach(g, new IVTextControlZV(IRECT(238, 447, 528, 462), "Custom Style: "));
    mCtrlPeakText = Attach(g, new IVTextControlZV(IRECT(478, 355, 539, 390), "-144.0"));
    Attach(g, new IBPushControlHiddenZV(IRECT(478, 355, 539, 390), kResetPeakMax));
    Attach(g, new IBPushControlZV(401, 356, two, kMatchPeakMax));
    const char* f = folder.c_str();
    mCtrlLoadFingerprint = Attach(g, new IVFileSelectorControlHiddenZV(IRECT(84, 370, 112, 398), 23, 0, f, "vrl"));
    mCtrlSaveFingerprint = Attach(g, new IVFileSelectorControlHiddenZV(IRECT(162, 370, 190, 398), 24, 1, f, "vrl"));
    mCtrlLoadReference = Attach(g, new IVFileSelectorControlHiddenZV(IRECT(250, 370, 278, 398), 25, 0, f, "ref"));
    mCtrlSaveReference = Attach(g, new IVFileSelectorControlHiddenZV(IRECT(328, 370, 356, 398), 26, 1, f, "ref"));
    mControlsAttached = true;
    OnUIOpen();
    UpdateCustomStyleLabel();
    return g;
  }

  bool UpdateCheckPending() const { return mUpdateCheckPending; }
  bool MessagePending() const { return mMessagePending; }
  std::string MessageText() const { return mMessageText.Get(); }
  IControl* Control(int idx) const { return GetUI()->GetControl(idx); }
  int CtrlPeakText() const { return mCtrlPeakText; }
  int CtrlUpdate() const { return mCtrlUpdate; }

private:
  static int Attach(IGraphics* g, IControl* c)
  {
    g->AttachControl(c);
    return g->NControls() - 1;
  }
  std::unique_ptr<TestBitmap> mStrip;
};

class PluginLinks : public testplug::Vorelle3Test {
protected:
  void SetUp() override
  {
    Vorelle3Test::SetUp();
    plug = std::make_unique<LinkedPlug>();
  }
  void TearDown() override
  {
    plug.reset();
    Vorelle3Test::TearDown();
  }
  std::string Path(const char* file) const { return (mRoot / file).string(); }

  std::unique_ptr<LinkedPlug> plug;
};

TEST_F(PluginLinks, SelectorsSaveAndLoadCurvesAndACancelChangesNothing)
{
  auto* g = plug->OpenEditor(mRoot.string());
  for (unsigned k = 0; k < plug->Curves().Fingerprint().count; ++k)
    plug->Curves().Fingerprint().mag[k] = 0.5 + 0.01 * k;
  plug->Curves().SetFingerprintValid(true);
  // The save selectors show only while a fingerprint exists.
  EXPECT_TRUE(plug->Control(6)->IsHidden());
  plug->UpdateCustomStyleLabel();
  EXPECT_FALSE(plug->Control(6)->IsHidden());
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
  EXPECT_STREQ(static_cast<IVTextControlZV*>(plug->Control(1))->GetStr(), "Custom Style: take.ref");
  EXPECT_FALSE(plug->MessagePending());
}

TEST_F(PluginLinks, SelectorsAreRefusedWhileCapturing)
{
  auto* g = plug->OpenEditor(mRoot.string());
  plug->SetParameterValue(kActivityState, 0.0, true);
  ASSERT_EQ(plug->ActivityState(), kCapture);
  // Hidden while capturing: a click finds nothing.
  g->mFileAnswers = {Path("take.vrl"), Path("take.vrl")};
  Click(*g, 90, 380);
  EXPECT_TRUE(g->mPrompts.empty());
  EXPECT_FALSE(plug->MessagePending());
  // A press that reaches it anyway is refused with its message.
  plug->Control(5)->OnMouseDown(90, 380, Left());
  EXPECT_TRUE(plug->MessagePending());
  EXPECT_EQ(plug->MessageText(), "Capture running");
}

TEST_F(PluginLinks, UpdateIndicatorAsksForACheckAndPushesHoldTheirParameter)
{
  auto* g = plug->OpenEditor(mRoot.string());
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
  auto* g = plug->OpenEditor(mRoot.string(), 1.f);
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
