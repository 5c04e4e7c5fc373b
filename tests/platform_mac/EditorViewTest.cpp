// The editor view in a headless host: opening at backing scales 1 and 2,
// events through the window changing parameters, frames from the run loop,
// and closing without anything left behind.

#include <QuartzCore/QuartzCore.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "MacEditorFixture.h"
#include "TestImageCodec.h"

namespace mactest {
namespace {

// A frame interval and a little more: a timer due at the end of a run
// fires in that run.
constexpr double kEpsilon = 1e-4;
constexpr double kFrame = 1.0 / 60 + kEpsilon;

class EditorAtScale : public MacEditorFixture, public ::testing::WithParamInterface<float> {};

TEST_P(EditorAtScale, OpensInTheWindowWithADrawableOfThePixelSizeAndDrawsTheFirstFrame)
{
  const float s = GetParam();
  OpenHost(s);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->window(), window);
  EXPECT_EQ(window->firstResponder(), view);
  EXPECT_TRUE(window->acceptsMouseMovedEvents());
  EXPECT_TRUE(dlg.GetEditorReady());
  EXPECT_EQ(Graphics()->GetScreenScale(), s);
  EXPECT_EQ(view->frame().size.width, kW);
  EXPECT_EQ(view->trackingAreas()->count(), 1u);
  auto* layer = dynamic_cast<CAMetalLayer*>(view->layer());
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->drawableSize().width, kW * s);
  EXPECT_EQ(layer->drawableSize().height, kH * s);
  EXPECT_EQ(standin::ScheduledTimerCount(), 1);

  standin::RunMainRunLoopFor(kFrame);
  MTLTexture* shown = standin::PresentedTexture(layer);
  ASSERT_NE(shown, nullptr);
  const auto rgba = standin::TextureRGBA(shown);
  const int w = int(kW * s);
  ASSERT_EQ(rgba.size(), size_t(w * int(kH * s) * 4));
  auto px = [&](float x, float y) {
    const size_t i = (size_t(y * s) * w + size_t(x * s)) * 4;
    return std::vector<int>{rgba[i], rgba[i + 1], rgba[i + 2]};
  };
  EXPECT_EQ(px(5, 5), (std::vector<int>{240, 240, 240}));   // background panel
  EXPECT_EQ(px(35, 35), (std::vector<int>{40, 40, 40}));    // knob at 0
  EXPECT_EQ(px(90, 25), (std::vector<int>{127, 127, 127})); // switch off
  EXPECT_EQ(px(50, 110), (std::vector<int>{0, 0, 255}));    // drop target
  const std::string name = std::string(VORELLE_TEST_OUTPUT_DIR) + "/editor_scale" + std::to_string(int(s)) + ".png";
  EXPECT_TRUE(standin::WriteTexturePNG(shown, name));
}

TEST_P(EditorAtScale, ClickTogglesTheSwitchAndAWheelTurnMovesTheKnobByItsStep)
{
  OpenHost(GetParam());
  Click(90, 25);
  EXPECT_EQ(Value(1), 1.0);
  Click(90, 25);
  EXPECT_EQ(Value(1), 0.0);

  window->sendEvent(standin::ScrollWheelEvent(At(35, 35).x, At(35, 35).y, 1.0, 0));
  EXPECT_NEAR(Value(0), 0.01, 1e-9);
  window->sendEvent(standin::ScrollWheelEvent(At(35, 35).x, At(35, 35).y, 1.0, NSEventModifierFlagShift));
  EXPECT_NEAR(Value(0), 0.011, 1e-9);
}

TEST_P(EditorAtScale, FilesDroppedReachTheControlUnderThePointerInGraphicsPoints)
{
  OpenHost(1.f, GetParam()); // the draw scale this time
  EXPECT_TRUE(standin::DropFiles(window, At(50, 120).x, At(50, 120).y, {"/tmp/one.wav", "/tmp/two.wav"}));
  ASSERT_EQ(drop->dropped.size(), 1u);
  EXPECT_EQ(drop->dropped[0], "/tmp/one.wav");
  EXPECT_EQ(Value(1), 1.0);
  // A drop with no file names is refused and reaches nobody.
  EXPECT_FALSE(standin::DropFiles(window, At(50, 120).x, At(50, 120).y, {}));
  EXPECT_EQ(drop->dropped.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorAtScale, ::testing::Values(1.f, 2.f));

using EditorView = MacEditorFixture;

TEST_F(EditorView, DragWithTheCursorLockedMeasuresEveryStepFromTheLockPositionExceptOnATablet)
{
  OpenHost(2.f);
  Mouse(NSEventTypeLeftMouseDown, 35, 35);
  const standin::PointerState locked = standin::Pointer();
  EXPECT_EQ(locked.hideCount, 1);
  EXPECT_TRUE(Graphics()->IsCursorLocked());

  Mouse(NSEventTypeLeftMouseDragged, 35, 25);
  const double once = Value(0);
  EXPECT_NEAR(once, 10.0 / 50.0 / 4.0, 1e-3);
  // The pointer went back to where the drag began, and the same pointer
  // position gives the same step again.
  EXPECT_EQ(standin::Pointer().x, locked.x);
  EXPECT_EQ(standin::Pointer().y, locked.y);
  EXPECT_TRUE(standin::Pointer().associated);
  Mouse(NSEventTypeLeftMouseDragged, 35, 25);
  EXPECT_NEAR(Value(0), 2 * once, 1e-3);
  EXPECT_EQ(standin::Pointer().warps, 2);

  Mouse(NSEventTypeLeftMouseUp, 35, 25);
  EXPECT_EQ(standin::Pointer().hideCount, 0);
  EXPECT_FALSE(Graphics()->IsCursorLocked());

  // Tablet drags are not pulled back to the lock position.
  Mouse(NSEventTypeLeftMouseDown, 35, 35);
  const int warps = standin::Pointer().warps;
  NSEvent* drag = NSEvent::mouseEventWithType(NSEventTypeLeftMouseDragged, At(35, 25), 0, 0, 0, nullptr, 0, 1, 1.f);
  drag->SetSubtype(NSEventSubtypeTabletPoint);
  window->sendEvent(drag);
  EXPECT_EQ(standin::Pointer().warps, warps);
  EXPECT_TRUE(Graphics()->IsTabletInput());
  Mouse(NSEventTypeLeftMouseUp, 35, 25);
}

TEST_F(EditorView, KeysReachTheKeyHandlerAndUnhandledKeysGoOnUpTheChain)
{
  OpenHost(1.f);
  std::vector<IKeyPress> keys;
  Graphics()->SetKeyHandlerFunc([&](const IKeyPress& k, bool up) {
    if (up)
      return false;
    keys.push_back(k);
    if (k.VK == 38) { // up arrow turns the knob
      IControl* knob = Graphics()->GetControl(1);
      knob->SetValue(knob->GetValue() + 0.25);
      knob->SetDirty(true);
    }
    return true;
  });
  Key(NSEventTypeKeyDown, 126, u"\uF700");
  Key(NSEventTypeKeyDown, 76, u"\u0003");
  Key(NSEventTypeKeyDown, 0, u"a", NSEventModifierFlagCommand);
  Key(NSEventTypeKeyUp, 0, u"a", NSEventModifierFlagCommand);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_NEAR(Value(0), 0.25, 1e-9);
  EXPECT_EQ(keys[1].VK, 32781);
  EXPECT_EQ(keys[2].VK, 65);
  EXPECT_TRUE(keys[2].C);
}

// The host's own view around the editor: the next responder up the chain.
class KeyCatcher : public NSView {
public:
  static KeyCatcher* alloc() { return new KeyCatcher(); }
  void keyDown(NSEvent* e) override { got.push_back("down " + std::to_string(e->keyCode())); }
  void keyUp(NSEvent* e) override { got.push_back("up " + std::to_string(e->keyCode())); }
  std::vector<std::string> got;
};

TEST_F(EditorView, KeysTheEditorHandlesStayWithItAndOnlyTheOthersGoUpTheChain)
{
  auto* host = KeyCatcher::alloc();
  host->initWithFrame(NSMakeRect(0, 0, kW, kH));
  OpenHost(1.f, 1.f, 0.0, host);
  host->release(); // the window holds it
  ASSERT_EQ(view->nextResponder(), host);
  // The editor takes the arrows, down and up, and nothing else.
  Graphics()->SetKeyHandlerFunc([](const IKeyPress& k, bool) { return k.VK >= 37 && k.VK <= 40; });
  struct Row {
    NSEventType type;
    unsigned short code;
    const char16_t* chars;
    bool handled;
  };
  const Row rows[] = {
    {NSEventTypeKeyDown, 126, u"\uF700", true}, {NSEventTypeKeyUp, 126, u"\uF700", true},
    {NSEventTypeKeyDown, 0, u"a", false},       {NSEventTypeKeyUp, 0, u"a", false},
    {NSEventTypeKeyDown, 123, u"\uF702", true}, {NSEventTypeKeyDown, 36, u"\r", false},
  };
  for (const Row& r : rows) {
    host->got.clear();
    Key(r.type, r.code, r.chars);
    const std::string want = std::string(r.type == NSEventTypeKeyDown ? "down " : "up ") + std::to_string(r.code);
    EXPECT_EQ(host->got, r.handled ? std::vector<std::string>{} : std::vector<std::string>{want}) << want;
  }
}

TEST_F(EditorView, TheRunLoopDrivesFramesAtTheFrameRateAndDrawsOnlyWhenDirty)
{
  OpenHost(1.f);
  auto* layer = static_cast<CAMetalLayer*>(view->layer());
  EXPECT_EQ(standin::RunMainRunLoopFor(1.0 + kEpsilon), 60);
  EXPECT_EQ(standin::PresentCount(layer), 1u); // everything dirty once, then clean
  Click(90, 25);
  EXPECT_EQ(standin::RunMainRunLoopFor(0.5), 30);
  EXPECT_EQ(standin::PresentCount(layer), 2u);
  EXPECT_EQ(standin::RunMainRunLoopFor(kFrame), 1);
  EXPECT_EQ(standin::PresentCount(layer), 2u);
}

TEST_F(EditorView, MovingToAScreenOfAnotherScaleAndResizingFollowTheViewInPixels)
{
  OpenHost(1.f);
  auto* layer = static_cast<CAMetalLayer*>(view->layer());
  window->setBackingScaleFactor(2.0);
  EXPECT_EQ(Graphics()->GetScreenScale(), 2.f);
  EXPECT_EQ(layer->drawableSize().width, 2.0 * kW);
  EXPECT_EQ(layer->drawableSize().height, 2.0 * kH);
  Graphics()->Resize(300, 180, 1.5f);
  EXPECT_EQ(view->frame().size.width, 450);
  EXPECT_EQ(view->frame().size.height, 270);
  EXPECT_EQ(layer->drawableSize().width, 900);
  EXPECT_EQ(layer->drawableSize().height, 540);
  EXPECT_EQ(view->trackingAreas()->count(), 1u);
  standin::RunMainRunLoopFor(kFrame);
  MTLTexture* shown = standin::PresentedTexture(layer);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(standin::TextureRGBA(shown).size(), size_t(900 * 540 * 4));
}

TEST_F(EditorView, AWindowOnAScreenOfAnotherScaleThanTheMainOneDrawsAtTheWindowsScale)
{
  struct Row {
    float mainScreen;
    double window;
  };
  const Row rows[] = {{1.f, 2.0}, {2.f, 1.0}, {1.f, 3.0}};
  for (const Row& r : rows) {
    OpenHost(r.mainScreen, 1.f, r.window);
    auto* layer = static_cast<CAMetalLayer*>(view->layer());
    EXPECT_EQ(Graphics()->GetScreenScale(), float(r.window)) << r.mainScreen << " " << r.window;
    EXPECT_EQ(layer->drawableSize().width, r.window * kW) << r.mainScreen << " " << r.window;
    EXPECT_EQ(layer->drawableSize().height, r.window * kH) << r.mainScreen << " " << r.window;
    standin::RunMainRunLoopFor(kFrame);
    MTLTexture* shown = standin::PresentedTexture(layer);
    ASSERT_NE(shown, nullptr);
    const auto rgba = standin::TextureRGBA(shown);
    const size_t w = size_t(r.window * kW);
    ASSERT_EQ(rgba.size(), w * size_t(r.window * kH) * 4);
    // The knob's lower right corner lands where the window's scale puts it.
    const size_t inKnob = (size_t(59 * r.window) * w + size_t(59 * r.window)) * 4;
    const size_t pastKnob = (size_t(61 * r.window) * w + size_t(61 * r.window)) * 4;
    EXPECT_EQ((std::vector<int>{rgba[inKnob], rgba[inKnob + 1], rgba[inKnob + 2]}), (std::vector<int>{40, 40, 40}));
    EXPECT_EQ((std::vector<int>{rgba[pastKnob], rgba[pastKnob + 1], rgba[pastKnob + 2]}),
              (std::vector<int>{240, 240, 240}));
    EXPECT_TRUE(standin::WriteTexturePNG(shown, std::string(VORELLE_TEST_OUTPUT_DIR) + "/editor_window_scale" +
                                                  std::to_string(int(r.window)) + "_on_main" +
                                                  std::to_string(int(r.mainScreen)) + ".png"));
    CloseHost();
  }
}

TEST_F(EditorView, FocusLeavingTheWindowReleasesACapturedControlAndShowsTheCursor)
{
  OpenHost(1.f);
  Mouse(NSEventTypeLeftMouseDown, 35, 35);
  EXPECT_TRUE(Graphics()->ControlIsCaptured());
  window->resignKeyWindow();
  EXPECT_FALSE(Graphics()->ControlIsCaptured());
  EXPECT_EQ(standin::Pointer().hideCount, 0);
}

TEST_F(EditorView, AppearanceChangesReachTheEditorAndTheDarkModeQueryFromMacOS1014On)
{
  struct Row {
    int minor, patch;
    bool dark;
    std::vector<EUIAppearance> seen;
  };
  const Row rows[] = {{15, 7, true, {EUIAppearance::Dark, EUIAppearance::Light}}, {13, 6, false, {}}};
  for (const Row& r : rows) {
    standin::SetSystemVersion(10, r.minor, r.patch);
    OpenHost(1.f);
    std::vector<EUIAppearance> seen;
    Graphics()->mAppearanceChangedFunc = [&](EUIAppearance a) { seen.push_back(a); };
    EXPECT_FALSE(Graphics()->GetDarkMode());
    standin::SetAppAppearance("NSAppearanceNameDarkAqua");
    EXPECT_EQ(Graphics()->GetDarkMode(), r.dark) << "10." << r.minor;
    standin::SetAppAppearance("NSAppearanceNameAqua");
    EXPECT_EQ(seen, r.seen) << "10." << r.minor;
    CloseHost();
  }
  standin::SetSystemVersion(10, 15, 7);
}

TEST_F(EditorView, CloseAndReopenTenTimesLeavesNoObjectOrTimerBehind)
{
  const long before = standin::LiveNSObjectCount();
  for (int i = 0; i < 10; ++i) {
    OpenHost(i % 2 ? 2.f : 1.f);
    Click(90, 25);
    standin::RunMainRunLoopFor(0.05);
    if (i % 3 == 0) // the host opens again while open
      view = static_cast<IGraphicsView_vVorelle3_au*>(dlg.OpenWindow(window->contentView()));
    CloseHost();
    standin::DrainAutoreleasePools();
    EXPECT_EQ(dlg.GetGraphics(), nullptr);
    EXPECT_EQ(standin::ScheduledTimerCount(), 0);
    EXPECT_EQ(standin::LiveNSObjectCount(), before) << "round " << i;
  }
  const auto log = dlg.TakeLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "OnUIOpen"), 14);
  EXPECT_EQ(std::count(log.begin(), log.end(), "OnUIClose"), 14);
}

TEST_F(EditorView, ClosingFromInsideAControlOrFrameCallbackClosesOnceAfterTheCallback)
{
  int closes = 0;
  struct Row {
    const char* what;
    std::function<void()> arm, run;
  };
  const Row rows[] = {
    {"the host takes the view away mid-click",
     [this] { Graphics()->GetControl(2)->SetActionFunction([this](IControl*) { view->removeFromSuperview(); }); },
     [this] { Click(90, 25); }},
    {"the window closes in a frame",
     [&] {
       Graphics()->SetDisplayTickFunc([&] {
         if (closes++ == 0)
           window->close();
       });
     },
     [] { standin::RunMainRunLoopFor(0.1); }},
  };
  for (const Row& r : rows) {
    OpenHost(1.f);
    const long before = standin::LiveNSObjectCount();
    r.arm();
    dlg.TakeLog();
    r.run();
    EXPECT_EQ(dlg.GetGraphics(), nullptr) << r.what;
    const auto log = dlg.TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "OnUIClose"), 1) << r.what;
    NSView* content = window->contentView(); // none once the window is closed
    EXPECT_TRUE(!content || content->subviews()->count() == 0) << r.what;
    EXPECT_EQ(standin::ScheduledTimerCount(), 0) << r.what;
    standin::DrainAutoreleasePools();
    EXPECT_LT(standin::LiveNSObjectCount(), before) << r.what;
    CloseHost();
  }
  EXPECT_EQ(closes, 1);
}

} // namespace
} // namespace mactest
