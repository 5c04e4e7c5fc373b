#include <AppKit/AppKit.h>
#include <AudioUnit/AUCocoaUIView.h>
#include <AudioUnit/AudioUnit.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A view that logs the window hooks it receives.
class LoggingView : public NSView {
public:
  static LoggingView* alloc() { return new LoggingView(); }
  void viewWillMoveToWindow(NSWindow* w) override { log.push_back(w ? "will-enter" : "will-leave"); }
  void viewDidMoveToWindow() override { log.push_back(window() ? "did-enter" : "did-leave"); }
  std::vector<std::string> log;
};

// The shape of a plug-in's view factory: finds its object through a private
// property of the unit and returns a view for it.
constexpr AudioUnitPropertyID kObjectProperty = AudioUnitPropertyID(-101);

class TestViewFactory : public NSObject, public AUCocoaUIBase {
public:
  static TestViewFactory* alloc() { return new TestViewFactory(); }
  TestViewFactory* init() override { return this; }
  unsigned interfaceVersion() override { return 0; }
  NSView* uiViewForAudioUnit(AudioUnit unit, NSSize size) override
  {
    void* object = nullptr;
    UInt32 bytes = sizeof object;
    if (AudioUnitGetProperty(unit, kObjectProperty, kAudioUnitScope_Global, 0, &object, &bytes) != noErr) {
      return nullptr;
    }
    found = object;
    return static_cast<NSView*>(
      NSView::alloc()->initWithFrame(NSMakeRect(0, 0, size.width, size.height))->autorelease());
  }
  const char* className() const override { return "TestViewFactory"; }
  void* found = nullptr;
};

int gPlugObject = 0;

OSStatus AnswerObject(void*, AudioUnitPropertyID id, AudioUnitScope, AudioUnitElement, void* out, UInt32* size)
{
  if (id != kObjectProperty)
    return kAudioUnitErr_InvalidProperty;
  void* p = &gPlugObject;
  std::memcpy(out, &p, sizeof p);
  *size = sizeof p;
  return noErr;
}
AudioComponentMethod ObjectLookup(SInt16 s)
{
  return s == kAudioUnitGetPropertySelect ? reinterpret_cast<AudioComponentMethod>(AnswerObject) : nullptr;
}
AudioComponentMethod NothingLookup(SInt16) { return nullptr; }

class CocoaViewTest : public testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    baseline = standin::LiveNSObjectCount();
  }
  void TearDown() override
  {
    standin::DrainAutoreleasePools();
    EXPECT_EQ(standin::LiveNSObjectCount(), baseline) << "objects leaked";
  }
  long baseline = 0;
};

TEST_F(CocoaViewTest, RegisteredClassIsFoundByNameAndMakesInstances)
{
  Class cls = objc_registerClass("TestViewFactory", nullptr, []() -> NSObject* { return TestViewFactory::alloc(); });
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(NSClassFromString(NSSTR("TestViewFactory")), cls);
  EXPECT_EQ(NSClassFromString(NSSTR("NoSuchClass")), nullptr);
  EXPECT_STREQ(NSStringFromClass(cls)->UTF8String(), "TestViewFactory");
  standin::DrainAutoreleasePools();
  NSObject* o = class_createInstance(cls, 0)->init();
  EXPECT_NE(dynamic_cast<AUCocoaUIBase*>(o), nullptr) << "the host reaches the protocol by a cross cast";
  EXPECT_EQ(standin::LiveNSObjectCount(), baseline + 1);
  o->release();
  objc_disposeClassPair(cls);
  EXPECT_EQ(NSClassFromString(NSSTR("TestViewFactory")), nullptr);
  EXPECT_EQ(class_createInstance(cls, 0), nullptr) << "a disposed class makes nothing";
}

TEST_F(CocoaViewTest, RegisteringANameAgainReplacesTheClass)
{
  Class first = objc_registerClass("Replaced", nullptr, []() -> NSObject* { return NSObject::alloc(); });
  Class second = objc_registerClass("Replaced", nullptr, []() -> NSObject* { return NSView::alloc(); });
  EXPECT_EQ(objc_getClass("Replaced"), second);
  objc_disposeClassPair(first);
  EXPECT_EQ(objc_getClass("Replaced"), second) << "disposing the old class leaves the new one";
  objc_disposeClassPair(second);
}

TEST_F(CocoaViewTest, ViewFactoryFindsThePlugInThroughTheUnitsPrivateProperty)
{
  AudioComponentPlugInInterface answering = {nullptr, nullptr, ObjectLookup, nullptr};
  AudioComponentPlugInInterface foreign = {nullptr, nullptr, NothingLookup, nullptr};
  AudioUnit ours = standin::NewInstanceForPlugInInterface(&answering);
  AudioUnit theirs = standin::NewInstanceForPlugInInterface(&foreign);
  TestViewFactory* factory = TestViewFactory::alloc()->init();
  NSView* view = factory->uiViewForAudioUnit(ours, NSMakeSize(650, 470));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(factory->found, &gPlugObject);
  EXPECT_EQ(view->frame().size.width, 650);
  EXPECT_EQ(factory->uiViewForAudioUnit(theirs, NSMakeSize(1, 1)), nullptr) << "another vendor's unit";
  factory->release();
  standin::DisposeInstance(ours);
  standin::DisposeInstance(theirs);
}

TEST_F(CocoaViewTest, ViewsHearWhenTheyEnterAndLeaveAWindow)
{
  NSWindow* window = NSWindow::alloc()->initWithContentRect(NSMakeRect(0, 0, 800, 600), NSWindowStyleMaskTitled,
                                                            NSBackingStoreBuffered, NO);
  LoggingView* parent = static_cast<LoggingView*>(LoggingView::alloc()->init());
  LoggingView* child = static_cast<LoggingView*>(LoggingView::alloc()->init());
  parent->addSubview(child);
  child->release(); // the parent keeps it
  EXPECT_TRUE(child->log.empty()) << "no window yet";
  window->contentView()->addSubview(parent);
  EXPECT_EQ(parent->window(), window);
  EXPECT_EQ(child->window(), window);
  EXPECT_EQ(child->log, (std::vector<std::string>{"will-enter", "did-enter"}));
  parent->removeFromSuperview();
  EXPECT_EQ(parent->log, (std::vector<std::string>{"will-enter", "did-enter", "will-leave", "did-leave"}));
  EXPECT_EQ(child->window(), nullptr);
  EXPECT_EQ(parent->retainCount(), 1u);
  parent->release();
  window->release();
}

TEST_F(CocoaViewTest, ClosingTheWindowReleasesItsViews)
{
  NSWindow* window = NSWindow::alloc()->initWithContentRect(NSMakeRect(0, 0, 100, 100), 0, NSBackingStoreBuffered, NO);
  NSView* view = NSView::alloc()->initWithFrame(NSMakeRect(0, 0, 10, 10));
  window->setContentView(view);
  view->release();
  EXPECT_EQ(window->contentView(), view);
  window->close();
  EXPECT_EQ(window->contentView(), nullptr);
  window->release();
}

TEST_F(CocoaViewTest, SubviewsListIsASnapshotInOrder)
{
  NSView* parent = NSView::alloc()->init();
  NSView* a = NSView::alloc()->init();
  NSView* b = NSView::alloc()->init();
  parent->addSubview(a);
  parent->addSubview(b);
  NSArray* list = parent->subviews();
  ASSERT_EQ(list->count(), 2u);
  EXPECT_EQ(list->objectAtIndex(0), a);
  EXPECT_EQ(list->objectAtIndex(1), b);
  b->removeFromSuperview();
  EXPECT_EQ(list->count(), 2u);
  a->release();
  b->release();
  parent->release();
}

} // namespace
