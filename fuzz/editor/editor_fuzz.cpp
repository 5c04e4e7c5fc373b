// The real editor driven by bytes: the plug-in made with the module's own
// make-graphics and layout functions, its view opened in a host window as a
// host opens it, then a stream of clicks, double and right clicks, drags,
// wheel turns, keys, dropped files, answers a person gives to dialogs and
// menus, screen-scale changes, focus loss, close and reopen, idle ticks and
// host parameter writes (NaN and infinities among them). Every input opens
// a fresh editor and closes it at the end. Afterwards every parameter is
// finite and in range, the state saves as it restores, every platform
// object the editor made is gone again and the GPU saw no misuse.
#include <AppKit/AppKit.h>
#include <standin/Testing.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "EditorWiring.h"
#include "FuzzPlug.h"
#include "FuzzReader.h"
#include "IGraphics.h"
#include "VersionCheck.h"
#include "Vorelle3_View.h"

namespace {

using namespace plugin::igraphics;

constexpr double kW = 650, kH = 470;
constexpr double kFrame = 1.0 / 60;
// Events per input: one input stays well under a second under the
// sanitizers. Events arrive between frames, as from a busy event loop; only
// idle ticks let the editor draw.
constexpr int kMaxEvents = 48;
constexpr int kMaxDragSteps = 12;
constexpr int kMaxFrames = 1;

class Reader : public fuzzsupport::ByteReader {
public:
  using ByteReader::ByteReader;
  // An editor point: mostly on the editor, a few beyond its edges.
  double X() { return Coord(kW); }
  double Y() { return Coord(kH); }
  // A host's parameter value: in range, at its ends, beyond, or not a number.
  float HostValue()
  {
    constexpr float kSpecial[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity(), 1e30f, -1e30f, -1.f};
    const int k = Byte();
    if (k < 6)
      return kSpecial[k];
    return float(k - 6) / 10.f - 2.f;
  }

private:
  double Coord(double size)
  {
    const int k = Byte();
    if (k >= 250)
      return k == 255 ? -1e6 : k == 254 ? 1e6 : (k - 252) * 0.25;
    return k * (size + 40) / 249 - 20;
  }
};

// The host's side: its window holding the view the plug-in's editor made.
struct Host {
  NSWindow* window = nullptr;
  NSView* view = nullptr;
  int opens = 0;
  int frames = 0;
  bool moved = false;
};

// The plug-in as the module builds it, in a private home with no network.
Vorelle3& EditorPlug()
{
  static Vorelle3* plug = [] {
    standin::SetUserHome((fuzzsupport::Folder() / "home").string(), true);
    standin::SetSystemRoot((fuzzsupport::Folder() / "sys").string());
    if (!standin::RegisterBundleAtPath(VORELLE3_BUNDLE_DIR))
      fuzzsupport::Fail("the built bundle is missing");
    // The check a person may ask for from the menu finds a closed port at once.
    VersionCheckSettings settings;
    std::snprintf(settings.baseAddress, sizeof settings.baseAddress, "http://127.0.0.1:9");
    settings.connectTimeoutMs = 200;
    settings.totalTimeoutMs = 400;
    SetVersionCheckSettings(settings);
    ClaimAutomaticVersionCheck();
    plugin::InstanceInfo info;
    info.mCocoaViewFactoryClassName.Set(Vorelle3_View::kClassName);
    InstallEditor(info);
    return new Vorelle3(info);
  }();
  return *plug;
}

// The files an earlier input wrote (picked, saved, settings) are gone, so
// every input starts from the same disk.
void FreshFolders()
{
  namespace fs = std::filesystem;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(fuzzsupport::Folder(), ec))
    if (entry.path().filename() != "sys")
      fs::remove_all(entry.path(), ec);
  standin::SetUserHome((fuzzsupport::Folder() / "home").string(), true);
}

double Now() { return standin::CurrentClock() * 1000.0; }

void Run(double seconds)
{
  standin::RunMainRunLoopFor(seconds);
  standin::DrainAutoreleasePools();
}

// One frame: the run loop's timers fire (the view draws what changed, the
// plug-in's timer passes what the host changed on to the editor). An
// editor larger than the full size at 1x only lets the time pass: its
// frames would cost seconds under the sanitizers.
void Frame(Vorelle3& plug)
{
  const IGraphics* g = plug.GetGraphics();
  const double pixels = g ? g->Width() * g->Height() * std::pow(double(g->GetTotalScale()), 2) : 0;
  if (pixels <= kW * kH * 1.01)
    Run(kFrame);
  else
    standin::AdvanceClock(kFrame);
}

void Open(Vorelle3& plug, Host& host, double scale)
{
  ++host.opens;
  standin::SetMainScreenScale(scale);
  host.window = NSWindow::alloc()->initWithContentRect(NSMakeRect(100, 100, kW * scale, kH * scale),
                                                       NSWindowStyleMaskTitled, NSBackingStoreBuffered, NO);
  host.view = static_cast<NSView*>(plug.OpenWindow(nullptr));
  if (host.view)
    host.window->contentView()->addSubview(host.view);
  // Animations follow the run loop's clock, so an input always runs alike.
  if (IGraphics* g = plug.GetGraphics())
    g->SetClock(Now);
}

void Close(Host& host)
{
  if (host.window) {
    host.window->close(); // the host takes the view away: the editor closes
    host.window->release();
  }
  host.window = nullptr;
  host.view = nullptr;
  standin::DrainAutoreleasePools();
}

// Window point of an editor point: the view sits at the window's origin,
// which is not flipped; the view's frame gives the editor's current scale.
NSPoint At(const Host& host, double x, double y)
{
  if (!host.view)
    return NSMakePoint(x, y);
  const NSRect f = host.view->frame();
  const double s = f.size.width / kW;
  return NSMakePoint(x * s, f.size.height - y * s);
}

NSEventModifierFlags Mods(Reader& in)
{
  const int bits = in.Int(16);
  NSEventModifierFlags flags = 0;
  if (bits & 1)
    flags |= NSEventModifierFlagShift;
  if (bits & 2)
    flags |= NSEventModifierFlagControl;
  if (bits & 4)
    flags |= NSEventModifierFlagOption;
  if (bits & 8)
    flags |= NSEventModifierFlagCommand;
  return flags;
}

void Mouse(Host& host, NSEventType type, double x, double y, NSEventModifierFlags mods, NSInteger clicks)
{
  if (host.window)
    host.window->sendEvent(NSEvent::mouseEventWithType(type, At(host, x, y), mods, 0, 0, nullptr, 0, clicks, 1.f));
}

// A key as the keyboard gives it: a hardware code and its character.
void Key(Host& host, Reader& in)
{
  constexpr struct {
    unsigned short code;
    char16_t ch;
  } kKeys[] = {{36, u'\r'}, {48, u'\t'}, {51, 0x7f},   {53, 0x1b},   {49, u' '},   {123, 0xF702}, {124, 0xF703},
               {125, 0xF701}, {126, 0xF700}, {76, 3},  {115, 0xF729}, {117, 0xF728}, {122, 0xF704}, {0, u'a'},
               {12, u'q'},    {29, u'0'},    {18, u'1'}, {47, u'.'},  {27, u'-'},    {40, u'k'}};
  constexpr int kKeyCount = int(sizeof kKeys / sizeof kKeys[0]);
  const int pick = in.Int(kKeyCount + 3);
  std::u16string text;
  unsigned short code = 0;
  if (pick < kKeyCount) {
    code = kKeys[pick].code;
    text.assign(1, kKeys[pick].ch);
  } else if (pick == kKeyCount) {
    code = in.Byte(); // no characters at all
  } else {
    // Any unit, a lone surrogate included, or two of them.
    text.push_back(char16_t(in.Byte() << 8 | in.Byte()));
    if (pick == kKeyCount + 2)
      text.push_back(char16_t(in.Byte() << 8 | in.Byte()));
  }
  const NSEventModifierFlags mods = Mods(in);
  const bool held = in.Int(4) == 0; // no key up follows
  if (!host.window)
    return;
  NSString* s = NSString::stringWithCharacters(reinterpret_cast<const unichar*>(text.data()), text.size());
  host.window->sendEvent(
    NSEvent::keyEventWithType(NSEventTypeKeyDown, NSMakePoint(0, 0), mods, 0, 0, nullptr, s, s, NO, code));
  if (!held)
    host.window->sendEvent(
      NSEvent::keyEventWithType(NSEventTypeKeyUp, NSMakePoint(0, 0), mods, 0, 0, nullptr, s, s, NO, code));
}

// A press, a few steps of motion, a release (or none: the next press comes
// without one, as when the release happened outside every window).
void Drag(Host& host, Reader& in, bool right)
{
  const double x = in.X(), y = in.Y();
  const NSEventModifierFlags mods = Mods(in);
  const int steps = in.Int(kMaxDragSteps + 1);
  Mouse(host, right ? NSEventTypeRightMouseDown : NSEventTypeLeftMouseDown, x, y, mods, 1);
  double px = x, py = y;
  for (int s = 0; s < steps; ++s) {
    px += (in.Byte() - 128) * 0.5;
    py += (in.Byte() - 128) * 0.5;
    Mouse(host, right ? NSEventTypeRightMouseDragged : NSEventTypeLeftMouseDragged, px, py, mods, 1);
  }
  if (in.Int(8))
    Mouse(host, right ? NSEventTypeRightMouseUp : NSEventTypeLeftMouseUp, px, py, mods, 1);
}

// What a person answers to the next menu, file panel or alert.
void Answer(Reader& in)
{
  switch (in.Int(6)) {
  case 0: {
    std::vector<int> path;
    for (int n = in.Int(3) + 1; n > 0; --n)
      path.push_back(in.Int(24));
    standin::QueueMenuChoice(path);
    break;
  }
  case 1: standin::QueueMenuChoice({}); break;
  case 2: standin::QueuePanelCancel(); break;
  case 3: {
    // A file of the private folder, present or not, with a name the
    // dialogs ask for; a save writes it there.
    constexpr const char* kNames[] = {"pick.vrl", "pick.ref", "pick.wav", "pick.aiff", "missing.vrl", "dir/"};
    standin::QueuePanelChoice((fuzzsupport::Folder() / kNames[in.Int(6)]).string());
    break;
  }
  case 4: standin::QueueAlertButton(long(in.Int(3)) - 1); break;
  default: {
    // Bytes of the input as a file a later answer may pick.
    constexpr const char* kNames[] = {"pick.vrl", "pick.ref", "pick.wav", "pick.aiff"};
    const int name = in.Int(4);
    std::vector<uint8_t> bytes(size_t(in.Int(64)));
    for (uint8_t& b : bytes)
      b = in.Byte();
    fuzzsupport::WriteFile(kNames[name], bytes.data(), bytes.size());
    break;
  }
  }
}

void Event(Vorelle3& plug, Host& host, Reader& in)
{
  switch (in.Int(16)) {
  case 0:
  case 1: {
    const double x = in.X(), y = in.Y();
    const NSEventModifierFlags mods = Mods(in);
    const NSInteger clicks = 1 + in.Int(3); // an even count is a double click
    Mouse(host, NSEventTypeLeftMouseDown, x, y, mods, clicks);
    Mouse(host, NSEventTypeLeftMouseUp, x, y, mods, clicks);
    break;
  }
  case 2: Drag(host, in, false); break;
  case 3: Drag(host, in, in.Int(2)); break;
  case 4: Mouse(host, NSEventTypeMouseMoved, in.X(), in.Y(), 0, 0); break;
  case 5: {
    const double x = in.X(), y = in.Y();
    const double d = (in.Byte() - 128) / 8.0;
    if (host.window) {
      const NSPoint p = At(host, x, y);
      host.window->sendEvent(standin::ScrollWheelEvent(p.x, p.y, d, Mods(in)));
    }
    break;
  }
  case 6:
  case 7: Key(host, in); break;
  case 8: Answer(in); break;
  case 9: {
    // A host's automation, inside or outside a parameter's range.
    const int id = in.Int(kNumParams + 1);
    plug.SetParameter(AudioUnitParameterID(id), kAudioUnitScope_Global, 0, in.HostValue(), 0);
    break;
  }
  case 10:
    // Time passes (the machine may have been busy: the timers then fire
    // once, late), then one frame: the plug-in's timer passes what the
    // host changed to the editor, and the editor draws what changed. A
    // frame costs a good part of an input's time, so only a few of them.
    if (host.frames < kMaxFrames) {
      ++host.frames;
      standin::AdvanceClock(in.Int(64) * kFrame / 4);
      Frame(plug);
    }
    break;
  case 11: {
    // The window moves to a screen of another density, once per input:
    // each move reloads every picture at the density.
    const double s = in.Int(2) ? 2 : 1;
    if (host.window && !host.moved) {
      host.moved = true;
      host.window->setBackingScaleFactor(s);
    }
    break;
  }
  case 12:
    if (host.window)
      host.window->resignKeyWindow();
    break;
  case 13:
    // Closed, then reopened at once or only later, as a host may do; at
    // most one reopening per input, since an opening costs most of its time.
    if (host.opens < 2) {
      Close(host);
      if (in.Int(4))
        Open(plug, host, 1.0);
    }
    break;
  case 14: {
    const double x = in.X(), y = in.Y();
    constexpr const char* kNames[] = {"pick.vrl", "pick.ref", "pick.wav", "missing.aiff"};
    if (host.window) {
      const NSPoint p = At(host, x, y);
      standin::DropFiles(host.window, p.x, p.y, {(fuzzsupport::Folder() / kNames[in.Int(4)]).string()});
    }
    break;
  }
  default:
    standin::SetAppAppearance(in.Int(2) ? "NSAppearanceNameDarkAqua" : "NSAppearanceNameAqua");
    break;
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > 2048)
    return 0;
  static Vorelle3& plug = EditorPlug();
  static fuzzsupport::Baseline baseline(plug);
  baseline.Restore();
  FreshFolders();
  const long objectsBefore = standin::LiveNSObjectCount();

  Reader in(data, size);
  // Mostly the smallest "GUI scale", whose frames cost a quarter of the
  // full size; at times the full size or a double-density screen.
  constexpr float kGUIScales[] = {0.5f, 0.5f, 0.5f, 0.75f, 1.f, 0.5f, 0.5f, 0.5f};
  const int start = in.Int(8);
  plug.SetParameter(kGUIScale, kAudioUnitScope_Global, 0, kGUIScales[start], 0);
  Host host;
  Open(plug, host, start == 5 ? 2.0 : 1.0);
  for (int events = 0; in.More() && events < kMaxEvents; ++events) {
    Event(plug, host, in);
  }
  Close(host);
  Run(kFrame);

  if (standin::Pointer().hideCount != 0)
    fuzzsupport::Fail("the pointer stays hidden after the editor closed");
  // Answers not taken are dropped, not left for the next input.
  standin::ResetPerson();
  fuzzsupport::CheckParams(plug);
  fuzzsupport::CheckStateStable(plug);
  if (standin::LiveNSObjectCount() != objectsBefore)
    fuzzsupport::Fail("platform objects of the editor outlive it");
  if (!standin::GPUValidationErrors().empty())
    fuzzsupport::Fail("the GPU reports a misuse");
  return 0;
}
