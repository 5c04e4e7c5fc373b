// The AppKit stand-in on its own: event delivery and the responder chain,
// tracking areas, timers on the run loop, notifications, the pointer, and
// modal answers when a person has queued none.

#include <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class EventView : public NSView {
public:
  static EventView* alloc() { return new EventView(); }
  BOOL isFlipped() override { return flipped; }
  BOOL acceptsFirstResponder() override { return YES; }
  void mouseDown(NSEvent* e) override { Log("down", e); }
  void mouseDragged(NSEvent* e) override { Log("drag", e); }
  void mouseUp(NSEvent* e) override { Log("up", e); }
  void mouseEntered(NSEvent*) override { log.push_back(name + " entered"); }
  void mouseExited(NSEvent*) override { log.push_back(name + " exited"); }
  void keyDown(NSEvent* e) override
  {
    if (handlesKeys)
      log.push_back(name + " key");
    else
      NSView::keyDown(e);
  }
  void removeFromSuperview() override
  {
    log.push_back(name + " removed");
    NSView::removeFromSuperview();
  }
  void onTick(NSObject*) { log.push_back(name + " tick"); }
  void Log(const char* what, NSEvent* e)
  {
    const NSPoint p = convertPoint(e->locationInWindow(), nullptr);
    log.push_back(name + " " + what + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)));
  }
  std::string name;
  bool flipped = false;
  bool handlesKeys = false;
  std::vector<std::string>& log = Shared();
  static std::vector<std::string>& Shared()
  {
    static std::vector<std::string> l;
    return l;
  }
};

class AppKitStandIn : public ::testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    EventView::Shared().clear();
    window = NSWindow::alloc()->initWithContentRect(NSMakeRect(100, 100, 200, 100), NSWindowStyleMaskTitled,
                                                    NSBackingStoreBuffered, NO);
    outer = Make("outer", NSMakeRect(10, 10, 120, 80), window->contentView(), true);
    inner = Make("inner", NSMakeRect(20, 10, 40, 30), outer, false);
  }
  void TearDown() override
  {
    window->release();
    standin::DrainAutoreleasePools();
  }
  EventView* Make(const char* name, NSRect frame, NSView* parent, bool flipped)
  {
    auto* v = EventView::alloc();
    v->initWithFrame(frame);
    v->name = name;
    v->flipped = flipped;
    parent->addSubview(v);
    v->release();
    return v;
  }
  void Send(NSEventType type, double x, double y)
  {
    window->sendEvent(NSEvent::mouseEventWithType(type, NSMakePoint(x, y), 0, 0, 0, nullptr, 0, 1, 1.f));
  }
  std::vector<std::string>& Log() { return EventView::Shared(); }

  NSWindow* window = nullptr;
  EventView* outer = nullptr;
  EventView* inner = nullptr;
};

TEST_F(AppKitStandIn, MouseDownGoesToTheDeepestViewAndItKeepsTheDragAndUp)
{
  // Window (40, 75): outer is flipped, so y = 80 - (75 - 10) = 15 in outer,
  // inside inner at (20..60, 10..40): (10, 5) in inner (not flipped).
  // Window (190, 5): y = 80 - (5 - 10) = 85 in outer, (160, 75) in inner.
  Send(NSEventTypeLeftMouseDown, 40, 75);
  Send(NSEventTypeLeftMouseDragged, 190, 5); // far outside: still the same view
  Send(NSEventTypeLeftMouseUp, 190, 5);
  EXPECT_EQ(Log(), (std::vector<std::string>{"inner down 10,5", "inner drag 160,75", "inner up 160,75"}));
  EXPECT_EQ(window->firstResponder(), inner);
  const NSPoint back = inner->convertPointToView(NSMakePoint(10, 5), nullptr);
  EXPECT_EQ(back.x, 40);
  EXPECT_EQ(back.y, 75);
}

TEST_F(AppKitStandIn, KeysGoUpTheResponderChainUntilAViewTakesThem)
{
  outer->handlesKeys = true;
  ASSERT_TRUE(window->makeFirstResponder(inner));
  window->sendEvent(
    NSEvent::keyEventWithType(NSEventTypeKeyDown, NSMakePoint(0, 0), 0, 0, 0, nullptr, NSSTR("a"), NSSTR("a"), NO, 0));
  EXPECT_EQ(Log(), std::vector<std::string>{"outer key"});
}

TEST_F(AppKitStandIn, TrackingAreasHearEnteringAndLeavingOnce)
{
  auto* area = NSTrackingArea::alloc()->initWithRect(inner->bounds(), NSTrackingMouseEnteredAndExited, inner, nullptr);
  inner->addTrackingArea(area);
  area->release();
  Send(NSEventTypeMouseMoved, 5, 5);
  Send(NSEventTypeMouseMoved, 40, 75);
  Send(NSEventTypeMouseMoved, 41, 74);
  Send(NSEventTypeMouseMoved, 5, 5);
  EXPECT_EQ(Log(), (std::vector<std::string>{"inner entered", "inner exited"}));
}

TEST_F(AppKitStandIn, TimersFireOnTheRunLoopAndLetGoOfTheirTargetWhenInvalidated)
{
  NSTimer* t = NSTimer::timerWithTimeInterval(0.1, inner, NSSELECTOR(EventView, onTick), nullptr, YES);
  NSRunLoop::currentRunLoop()->addTimer(t, NSRunLoopCommonModes);
  const NSUInteger held = inner->retainCount();
  EXPECT_EQ(standin::RunMainRunLoopFor(0.35), 3);
  EXPECT_EQ(Log().size(), 3u);
  t->invalidate();
  EXPECT_EQ(inner->retainCount(), held - 1);
  EXPECT_EQ(standin::ScheduledTimerCount(), 0);
  EXPECT_EQ(standin::RunMainRunLoopFor(1.0), 0);
}

TEST_F(AppKitStandIn, RemovingAnObserverStopsItsNotifications)
{
  NSNotificationCenter* c = NSNotificationCenter::defaultCenter();
  c->addObserver(inner, NSSELECTOR(EventView, onTick), NSWindowDidResignKeyNotification, window);
  window->resignKeyWindow();
  c->removeObserver(inner);
  window->resignKeyWindow();
  EXPECT_EQ(Log(), std::vector<std::string>{"inner tick"});
}

TEST_F(AppKitStandIn, AnOverriddenRemovalRunsWhenTheHostTakesTheViewAway)
{
  window->close();
  EXPECT_EQ(Log(), (std::vector<std::string>{"outer removed", "inner removed"}));
}

TEST_F(AppKitStandIn, PointerWarpsUseTopDownDisplayCoordinates)
{
  CGDisplayHideCursor(CGMainDisplayID());
  CGDisplayMoveCursorToPoint(CGMainDisplayID(), CGPointMake(30, 80));
  const NSPoint p = NSEvent::mouseLocation();
  EXPECT_EQ(p.x, 30);
  EXPECT_EQ(p.y, double(CGDisplayPixelsHigh(CGMainDisplayID())) - 80);
  EXPECT_EQ(standin::Pointer().hideCount, 1);
  CGDisplayShowCursor(CGMainDisplayID());
  CGDisplayShowCursor(CGMainDisplayID()); // more shows than hides stay at 0
  EXPECT_EQ(standin::Pointer().hideCount, 0);
}

TEST_F(AppKitStandIn, WithNothingQueuedEveryModalRunIsCancelled)
{
  EXPECT_EQ(NSRunAlertPanel(NSSTR("t"), NSSTR("%@"), NSSTR("Yes"), NSSTR("Cancel"), NSSTR("No"), NSSTR("m")),
            NSAlertAlternateReturn);
  EXPECT_EQ(NSRunAlertPanel(NSSTR("t"), NSSTR("%@"), NSSTR("Yes"), NSSTR("No"), NSSTR("Cancel"), NSSTR("m")),
            NSAlertOtherReturn);
  EXPECT_EQ(NSRunAlertPanel(NSSTR("t"), NSSTR("%@"), NSSTR("OK"), nullptr, nullptr, NSSTR("m")), NSAlertDefaultReturn);
  // An answer naming a button the alert lacks counts as cancelling it.
  standin::QueueAlertButton(NSAlertOtherReturn);
  EXPECT_EQ(NSRunAlertPanel(NSSTR("t"), NSSTR("%@"), NSSTR("OK"), NSSTR("Cancel"), nullptr, NSSTR("m")),
            NSAlertAlternateReturn);
  EXPECT_EQ(NSOpenPanel::openPanel()->runModal(), NSModalResponseCancel);
  EXPECT_EQ(NSSavePanel::savePanel()->runModalForDirectory(nullptr, nullptr), NSModalResponseCancel);
  NSMenu* menu = NSMenu::alloc()->initWithTitle(NSSTR(""));
  menu->addItemWithTitle(NSSTR("x"), NSSELECTOR(EventView, onTick), NSSTR(""))->setTarget(inner);
  EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(0, 0), nullptr));
  standin::QueueMenuChoice({0});
  EXPECT_TRUE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(0, 0), nullptr));
  EXPECT_EQ(Log(), std::vector<std::string>{"inner tick"});
  menu->release();
  EXPECT_EQ(standin::ShownAlerts().size(), 4u);
  EXPECT_EQ(standin::ShownMenus().size(), 2u);
}

TEST_F(AppKitStandIn, URLsAreRefusedWhenMalformed)
{
  EXPECT_NE(NSURL::URLWithString(NSSTR("https://example.com/a?b=c#d")), nullptr);
  for (const char* bad : {"", "http://a b", "http://a\"b", "http://[::1", "http://x/\xc3\xa9"})
    EXPECT_EQ(NSURL::URLWithString(NSString::stringWithUTF8String(bad)), nullptr) << bad;
  EXPECT_EQ(NSURL::fileURLWithPath(NSSTR("")), nullptr);
  EXPECT_STREQ(NSURL::fileURLWithPath(NSSTR("/a b/c"))->absoluteString()->UTF8String(), "file:///a b/c");
}

} // namespace
