// The Cocoa view factory and the CocoaUI property that names it to a host.
#include <gtest/gtest.h>

#include <Foundation/Foundation.h>
#include <standin/Host.h>
#include <standin/Testing.h>

#include <string>

#include "AUPlugInInstance.h"
#include "AUTestUnit.h"
#include "Vorelle3_View.h"

using namespace autest;

namespace {

plugin::IPluginAU* Construct(void* memory, AudioComponentInstance) { return new (memory) RecordingPlug(); }
void Destruct(void* memory) { static_cast<RecordingPlug*>(memory)->~RecordingPlug(); }

// A unit opened through its instance record, as a host holds one.
struct OpenedUnit {
  OpenedUnit()
  : record(plugin::AUPlugInInstanceCreate(sizeof(RecordingPlug), alignof(RecordingPlug), Construct, Destruct)),
    unit(standin::NewInstanceForPlugInInterface(&record->mInterface))
  {
    record->mInterface.Open(record, unit);
  }
  ~OpenedUnit()
  {
    record->mInterface.Close(record);
    standin::DisposeInstance(unit);
  }
  RecordingPlug& Plug() const { return *static_cast<RecordingPlug*>(record->mPlug); }

  plugin::AUPlugInInstance* record;
  AudioUnit unit;
};

// Another maker's unit: it answers no property at all.
AudioComponentMethod NoMethods(SInt16) { return nullptr; }

std::string Utf8(CFStringRef text)
{
  char buffer[512] = "";
  CFStringGetCString(text, buffer, sizeof(buffer), kCFStringEncodingUTF8);
  return buffer;
}

class ViewFactory : public testing::Test {
protected:
  void SetUp() override
  {
    Vorelle3_View::Register();
    factory = dynamic_cast<Vorelle3_View*>(class_createInstance(objc_getClass(Vorelle3_View::kClassName), 0)->init());
  }
  void TearDown() override
  {
    if (factory)
      factory->release();
    Vorelle3_View::Unregister();
    standin::DrainAutoreleasePools();
  }
  Vorelle3_View* factory = nullptr;
};

} // namespace

TEST_F(ViewFactory, IsMadeByItsRegisteredNameAndDescribesItself)
{
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->interfaceVersion(), 0u);
  EXPECT_STREQ(factory->description()->UTF8String(), "Vorelle3 View");
  EXPECT_EQ(factory->GetPlug(), nullptr);
}

TEST_F(ViewFactory, FindsThePlugInObjectBehindTheUnitAndGivesNoViewWithoutAnEditor)
{
  ASSERT_NE(factory, nullptr);
  OpenedUnit opened;
  EXPECT_EQ(factory->uiViewForAudioUnit(opened.unit, NSMakeSize(650, 470)), nullptr);
  plugin::IPluginAPIBase* expected = &opened.Plug();
  EXPECT_EQ(factory->GetPlug(), expected);
  void* object = nullptr;
  UInt32 size = sizeof(object);
  ASSERT_EQ(
    AudioUnitGetProperty(opened.unit, plugin::kPlugInObjectPropertyID, kAudioUnitScope_Global, 0, &object, &size),
    noErr);
  EXPECT_EQ(object, static_cast<void*>(expected)) << "the same address the private property hands out";
}

TEST_F(ViewFactory, AnotherMakersUnitGivesNoViewAndNoPlugIn)
{
  ASSERT_NE(factory, nullptr);
  AudioComponentPlugInInterface foreign = {nullptr, nullptr, NoMethods, nullptr};
  AudioUnit theirs = standin::NewInstanceForPlugInInterface(&foreign);
  EXPECT_EQ(factory->uiViewForAudioUnit(theirs, NSMakeSize(1, 1)), nullptr);
  EXPECT_EQ(factory->GetPlug(), nullptr);
  standin::DisposeInstance(theirs);
}

TEST(AUProperties, CocoaUINamesTheViewFactoryInTheBundleOrIsAnInvalidPropertyWithoutUI)
{
  RecordingPlug plug;
  standin::RegisterBundle({testsupport::TestPlugConfig().bundleID, "/plugins/TestPlug.component", "TestPlug", {}});
  AudioUnitCocoaViewInfo info{};
  UInt32 size = sizeof(info);
  Boolean writable = true;
  ASSERT_EQ(plug.GetProperty(kAudioUnitProperty_CocoaUI, 0, 0, &size, &writable, &info), noErr);
  EXPECT_EQ(size, 16u);
  ASSERT_NE(info.mCocoaAUViewBundleLocation, nullptr);
  CFStringRef path = CFURLCopyFileSystemPath(info.mCocoaAUViewBundleLocation, kCFURLPOSIXPathStyle);
  EXPECT_EQ(Utf8(path), "/plugins/TestPlug.component");
  EXPECT_EQ(Utf8(info.mCocoaAUViewClass[0]), "Vorelle3_View");
  CFRelease(path);
  CFRelease(info.mCocoaAUViewBundleLocation);
  CFRelease(info.mCocoaAUViewClass[0]);

  plug.SetHasUI(false);
  for (void* data : {static_cast<void*>(&info), static_cast<void*>(nullptr)}) {
    size = sizeof(info);
    EXPECT_EQ(plug.GetProperty(kAudioUnitProperty_CocoaUI, 0, 0, &size, &writable, data), kAudioUnitErr_InvalidProperty)
      << (data ? "get" : "info");
  }
}

// The module hands the editor functions in with the instance record; the
// delegate must use exactly those.
TEST(AUEditorFunctions, TheInstanceRecordsFunctionsReachTheEditorDelegate)
{
  int made = 0;
  plugin::igraphics::IGEditorDelegate* asked = nullptr;
  plugin::InstanceInfo info = autest::RecordingPlug::Info();
  info.mMakeGraphicsFunc = [&](plugin::igraphics::IGEditorDelegate& d) -> plugin::igraphics::IEditorGraphics* {
    ++made;
    asked = &d;
    return nullptr;
  };
  info.mLayoutFunc = [](plugin::igraphics::IGraphics*) {};
  struct Plug : plugin::IPluginAU {
    explicit Plug(const plugin::InstanceInfo& i) : plugin::IPluginAU(i, testsupport::TestPlugConfig()) {}
  } plug(info);
  ASSERT_TRUE(plug.mMakeGraphicsFunc);
  ASSERT_TRUE(plug.mLayoutFunc);
  EXPECT_EQ(plug.OpenWindow(nullptr), nullptr);
  EXPECT_EQ(made, 1);
  // The context is made for the plug-in object that opens it.
  EXPECT_EQ(asked, static_cast<plugin::igraphics::IGEditorDelegate*>(&plug));

  autest::RecordingPlug without;
  EXPECT_FALSE(without.mMakeGraphicsFunc);
  EXPECT_EQ(without.OpenWindow(nullptr), nullptr);
}
