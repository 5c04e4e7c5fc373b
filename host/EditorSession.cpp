#include "EditorSession.h"

#include <AppKit/AppKit.h>
#include <AudioUnit/AUCocoaUIView.h>
#include <QuartzCore/QuartzCore.h>
#include <standin/Host.h>
#include <standin/Testing.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <limits>
#include <thread>
#include <sstream>

#include "CommandLine.h"
#include "DialogAnswer.h"
#include "HostParameters.h"
#include "PictureOutput.h"
#include "StagedFile.h"

namespace host {

namespace {

constexpr double kEditorWidth = 650.0, kEditorHeight = 470.0; // at 100 %
constexpr double kFrame = 1.0 / 60.0;

struct VerbInfo {
  const char* verb;
  size_t minWords, maxWords; // after the verb
};

const VerbInfo kVerbs[] = {
  {"click", 2, 3}, {"dblclick", 2, 3}, {"hover", 2, 2},  {"drag", 4, 5},  {"wheel", 3, 4}, {"type", 1, 1000},
  {"key", 1, 1},   {"file", 1, 1},     {"cancel", 0, 0}, {"param", 2, 2}, {"wait", 1, 1},  {"png", 1, 1},
};

bool Number(const std::string& s, double& v) { return ParseDecimal(s, v); }

bool Modifiers(const std::string& text, NSEventModifierFlags& flags)
{
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, '+')) {
    if (part == "shift")
      flags |= NSEventModifierFlagShift;
    else if (part == "ctrl")
      flags |= NSEventModifierFlagControl;
    else if (part == "alt")
      flags |= NSEventModifierFlagOption;
    else if (part == "cmd")
      flags |= NSEventModifierFlagCommand;
    else
      return false;
  }
  return true;
}

// A host's window follows its plug-in's view: when the view resizes itself
// (the plug-in menu's scale, the corner resizer) the content area takes the
// view's size at once, so points beyond the first size reach the view.
class WindowFollower : public NSObject {
public:
  static WindowFollower* Make(NSWindow* window, NSView* view)
  {
    auto* f = new WindowFollower();
    f->mWindow = window;
    f->mView = view;
    NSNotificationCenter::defaultCenter()->addObserver(f, NSSELECTOR(WindowFollower, frameDidChange),
                                                       NSViewFrameDidChangeNotification, view);
    return f;
  }
  void frameDidChange(NSObject*) { mWindow->contentView()->setFrameSize(mView->frame().size); }

private:
  WindowFollower() = default;
  NSWindow* mWindow = nullptr; // neither retained: the session stops listening first
  NSView* mView = nullptr;
};

std::string Joined(const std::vector<std::string>& words, const char* separator)
{
  std::string text;
  for (size_t i = 0; i < words.size(); ++i)
    text += (i ? separator : "") + words[i];
  return text;
}

} // namespace

// The editor in a window, and the host's view of what it does.
class EditorWindow::Impl {
public:
  Impl(AUHostUnit& unit, EditorReport& report) : mUnit(unit), mReport(report) {}
  ~Impl() { Close(); }

  std::string Open(float screenScale)
  {
    standin::SetMainScreenScale(screenScale);
    AudioUnitCocoaViewInfo info{};
    UInt32 size = sizeof(info);
    if (AudioUnitGetProperty(mUnit.Unit(), kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &info, &size) !=
        noErr)
      return "the plug-in offers no editor (no Cocoa view)";
    char name[256] = "";
    CFStringGetCString(info.mCocoaAUViewClass[0], name, sizeof(name), kCFStringEncodingUTF8);
    CFRelease(info.mCocoaAUViewClass[0]);
    if (info.mCocoaAUViewBundleLocation)
      CFRelease(info.mCocoaAUViewBundleLocation);
    Class cls = objc_getClass(name);
    NSObject* object = cls ? class_createInstance(cls, 0) : nullptr;
    auto* factory = object ? dynamic_cast<AUCocoaUIBase*>(object->init()) : nullptr;
    if (!factory) {
      if (object)
        object->release();
      return std::string("the view factory class \"") + name + "\" is not registered";
    }
    mFactory = object;
    mView = factory->uiViewForAudioUnit(mUnit.Unit(), NSMakeSize(kEditorWidth, kEditorHeight));
    if (!mView)
      return "the plug-in's view factory made no view";
    const NSRect frame = mView->frame();
    mWindow = NSWindow::alloc()->initWithContentRect(NSMakeRect(100, 100, frame.size.width, frame.size.height),
                                                     NSWindowStyleMaskTitled, NSBackingStoreBuffered, NO);
    mWindow->contentView()->addSubview(mView);
    mFollower = WindowFollower::Make(mWindow, mView);
    // Only what this session raises is reported.
    mSeenAlerts = standin::ShownAlerts().size();
    mSeenPanels = standin::ShownPanels().size();
    mSeenRequests = standin::WorkspaceRequests().size();
    standin::SetAUEventHandler([this](const AudioUnitEvent& e) { OnEvent(e); });
    // Checked again as a dialog takes it: the file may have changed since.
    standin::SetPanelChoiceCheck([this](const std::string& kind, const std::string& path) {
      const std::string e = CheckDialogAnswer(path);
      if (!e.empty() && mRefusal.empty()) {
        mRefusal = e + " (the " + kind + " dialog was cancelled)";
        mRefusedPanel = standin::ShownPanels().size() - 1;
      }
      return e.empty();
    });
    Run(2 * kFrame);
    return "";
  }

  void Close()
  {
    standin::SetAUEventHandler(nullptr);
    standin::SetPanelChoiceCheck(nullptr);
    if (mFollower) {
      NSNotificationCenter::defaultCenter()->removeObserver(mFollower);
      mFollower->release();
      mFollower = nullptr;
    }
    if (mWindow) {
      mWindow->close(); // the host takes the view away: the editor closes
      mWindow->release();
      mWindow = nullptr;
    }
    mView = nullptr;
    if (mFactory)
      mFactory->release();
    mFactory = nullptr;
    standin::DrainAutoreleasePools();
  }

  // A dialog answer refused while the action ran ends the session.
  std::string Do(const EditorAction& a)
  {
    std::string e = Act(a);
    NoteDialogs();
    if (e.empty())
      e = mRefusal;
    return e;
  }

  std::string Act(const EditorAction& a)
  {
    const auto& w = a.words;
    double n[5] = {};
    for (size_t i = 0;
         i < w.size() && i < 5 && a.verb != "type" && a.verb != "key" && a.verb != "file" && a.verb != "png"; ++i)
      Number(w[i], n[i]);
    NSEventModifierFlags mods = 0;
    const size_t modsAt = a.verb == "drag" ? 4 : a.verb == "wheel" ? 3 : 2;
    if (w.size() > modsAt && !Modifiers(w[modsAt], mods))
      return "unknown modifier \"" + w[modsAt] + "\" (shift, ctrl, alt, cmd)";

    if (a.verb == "click" || a.verb == "dblclick") {
      const int clicks = a.verb == "click" ? 1 : 2;
      for (int c = 1; c <= clicks; ++c) {
        Mouse(NSEventTypeLeftMouseDown, n[0], n[1], mods, c);
        Mouse(NSEventTypeLeftMouseUp, n[0], n[1], mods, c);
      }
    } else if (a.verb == "hover") {
      Mouse(NSEventTypeMouseMoved, n[0], n[1], 0, 0);
    } else if (a.verb == "drag") {
      Mouse(NSEventTypeLeftMouseDown, n[0], n[1], mods, 1);
      // A control that hides and locks the pointer has it put back after
      // every step, so the hand's motion arrives as steps from the press.
      const bool locked = standin::Pointer().hideCount > 0;
      // Whole points per step where the drag allows it, as a mouse reports.
      const int kSteps = int(std::clamp(std::lround(std::max(std::fabs(n[2]), std::fabs(n[3]))), 1L, 400L));
      for (int s = 1; s <= kSteps; ++s) {
        const double k = locked ? 1.0 : double(s);
        Mouse(NSEventTypeLeftMouseDragged, n[0] + n[2] * k / kSteps, n[1] + n[3] * k / kSteps, mods, 1);
      }
      const double k = locked ? 1.0 / kSteps : 1.0;
      Mouse(NSEventTypeLeftMouseUp, n[0] + n[2] * k, n[1] + n[3] * k, mods, 1);
    } else if (a.verb == "wheel") {
      const NSPoint p = At(n[0], n[1]);
      mWindow->sendEvent(standin::ScrollWheelEvent(p.x, p.y, n[2], mods));
      NoteDialogs();
    } else if (a.verb == "type") {
      for (char c : Joined(w, " "))
        Key(std::u16string(1, char16_t(static_cast<unsigned char>(c))), 0);
    } else if (a.verb == "key") {
      const struct {
        const char* name;
        unsigned short code;
        char16_t ch;
      } keys[] = {{"return", 36, u'\r'}, {"tab", 48, u'\t'}, {"delete", 51, 0x7f}, {"escape", 53, 0x1b}};
      bool found = false;
      for (const auto& k : keys)
        if (w[0] == k.name) {
          Key(std::u16string(1, k.ch), k.code);
          found = true;
        }
      if (!found)
        return "unknown key \"" + w[0] + "\" (return, tab, delete, escape)";
    } else if (a.verb == "file") {
      standin::QueuePanelChoice(w[0]);
      mAnswers.push_back(w[0]);
    } else if (a.verb == "cancel") {
      standin::QueuePanelCancel();
      mAnswers.push_back("");
    } else if (a.verb == "param") {
      if (std::string e = CheckParameterValue(mUnit, unsigned(n[0]), float(n[1])); !e.empty())
        return e;
      if (OSStatus s = mUnit.SetParameter(AudioUnitParameterID(n[0]), float(n[1])); s != noErr)
        return "parameter " + w[0] + " cannot take " + w[1] + " (status " + std::to_string(s) + ")";
    } else if (a.verb == "wait") {
      // Animations run on the real clock, timers on the run loop's.
      std::this_thread::sleep_for(std::chrono::duration<double>(std::min(n[0], 10.0)));
      Run(n[0]);
      return "";
    } else if (a.verb == "png") {
      return Picture(w[0]);
    }
    // Two frames and the plug-in's timer: the editor answers and redraws.
    Run(3 * kFrame);
    return "";
  }

  double ViewScale() const { return mView ? mView->frame().size.width / kEditorWidth : 1.0; }

  std::string Picture(const std::string& path, StagedFile* staged = nullptr)
  {
    Run(2 * kFrame);
    auto* layer = mView ? dynamic_cast<CAMetalLayer*>(mView->layer()) : nullptr;
    if (!layer)
      return "the editor's view has no Metal layer";
    standin::WaitForGPUIdle();
    MTLTexture* shown = standin::PresentedTexture(layer);
    if (!shown)
      return "the editor drew no frame";
    mReport.width = int(shown->width());
    mReport.height = int(shown->height());
    const std::vector<uint8_t> png = standin::TexturePNG(shown);
    if (std::string e = staged ? StagePictureFile(*staged, path, png) : WritePictureFile(path, png); !e.empty())
      return e;
    mReport.pictures.push_back(path);
    Note("wrote " + path + " (" + std::to_string(mReport.width) + " x " + std::to_string(mReport.height) + ")");
    return "";
  }

private:
  // Window point of a point of the view, origin top left: the view sits at
  // the window's origin, which is not flipped, and the window's top stays
  // where it is while it follows the view.
  NSPoint At(double x, double y) const { return NSMakePoint(x, mWindow->contentView()->frame().size.height - y); }

  void Mouse(NSEventType type, double x, double y, NSEventModifierFlags mods, NSInteger clicks)
  {
    mWindow->sendEvent(NSEvent::mouseEventWithType(type, At(x, y), mods, 0, 0, nullptr, 0, clicks, 1.f));
    NoteDialogs(); // a dialog runs inside the event, before the timers
  }

  void Key(const std::u16string& text, unsigned short code)
  {
    NSString* s = NSString::stringWithCharacters(reinterpret_cast<const unichar*>(text.data()), text.size());
    mWindow->sendEvent(
      NSEvent::keyEventWithType(NSEventTypeKeyDown, NSMakePoint(0, 0), 0, 0, 0, nullptr, s, s, NO, code));
    mWindow->sendEvent(
      NSEvent::keyEventWithType(NSEventTypeKeyUp, NSMakePoint(0, 0), 0, 0, 0, nullptr, s, s, NO, code));
    NoteDialogs();
  }

  void Run(double seconds)
  {
    standin::RunMainRunLoopFor(seconds);
    standin::DrainAutoreleasePools();
    NoteDialogs();
  }

  // A line in the order things happened: dialogs and requests raised
  // before it come first.
  void Note(const std::string& line)
  {
    NoteDialogs();
    mReport.lines.push_back(line);
  }

  // Alerts, file dialogs (with the answer the script queued, in order) and
  // requests to open a location raised since the last look.
  void NoteDialogs()
  {
    const std::vector<standin::ShownAlert> alerts = standin::ShownAlerts();
    for (; mSeenAlerts < alerts.size(); ++mSeenAlerts) {
      const standin::ShownAlert& a = alerts[mSeenAlerts];
      mReport.lines.push_back("alert \"" + a.title + "\": " + a.message);
    }
    const std::vector<standin::ShownPanel> panels = standin::ShownPanels();
    for (; mSeenPanels < panels.size(); ++mSeenPanels) {
      std::string answer = "cancelled";
      if (!mAnswers.empty()) {
        if (!mAnswers.front().empty())
          answer = mAnswers.front();
        mAnswers.pop_front();
      }
      if (mSeenPanels == mRefusedPanel)
        answer = "refused " + answer + ", cancelled";
      const standin::ShownPanel& p = panels[mSeenPanels];
      mReport.lines.push_back(p.kind + " dialog (" + Joined(p.types, ", ") + "): " + answer);
    }
    const std::vector<std::string> requests = standin::WorkspaceRequests();
    for (; mSeenRequests < requests.size(); ++mSeenRequests)
      mReport.lines.push_back("open " + requests[mSeenRequests]);
  }

  std::string Name(AudioUnitParameterID id) const
  {
    const AudioUnitParameterInfo info = mUnit.ParameterInfo(id);
    return std::to_string(id) + " \"" + info.name + "\"";
  }

  void OnEvent(const AudioUnitEvent& e)
  {
    const AudioUnitParameterID id = e.mArgument.mParameter.mParameterID;
    char line[256];
    switch (e.mEventType) {
    case kAudioUnitEvent_BeginParameterChangeGesture: Note("begin gesture " + Name(id)); break;
    case kAudioUnitEvent_EndParameterChangeGesture: Note("end gesture " + Name(id)); break;
    case kAudioUnitEvent_ParameterValueChange:
      std::snprintf(line, sizeof(line), "%s = %g", Name(id).c_str(), double(mUnit.GetParameter(id)));
      Note(line);
      break;
    default: break;
    }
  }

  AUHostUnit& mUnit;
  EditorReport& mReport;
  NSObject* mFactory = nullptr;
  NSView* mView = nullptr;
  NSWindow* mWindow = nullptr;
  WindowFollower* mFollower = nullptr;
  std::deque<std::string> mAnswers; // queued file dialog answers; "" cancels
  size_t mSeenAlerts = 0, mSeenPanels = 0, mSeenRequests = 0;
  std::string mRefusal; // the first dialog answer refused, if any
  size_t mRefusedPanel = std::numeric_limits<size_t>::max();
};

EditorWindow::EditorWindow(AUHostUnit& unit, EditorReport& report) : mImpl(new Impl(unit, report)) {}
EditorWindow::~EditorWindow() { delete mImpl; }
std::string EditorWindow::Open(float screenScale) { return mImpl->Open(screenScale); }
std::string EditorWindow::Do(const EditorAction& action) { return mImpl->Do(action); }
double EditorWindow::ViewScale() const { return mImpl->ViewScale(); }
std::string EditorWindow::Picture(const std::string& path, StagedFile* staged)
{
  return mImpl->Picture(path, staged);
}
void EditorWindow::Close() { mImpl->Close(); }

std::string ParseEditorAction(const std::string& line, EditorAction& out)
{
  out = EditorAction();
  std::stringstream in(line);
  std::string word;
  if (!(in >> word) || word[0] == '#')
    return "";
  const VerbInfo* verb = nullptr;
  for (const VerbInfo& v : kVerbs)
    if (word == v.verb)
      verb = &v;
  if (!verb)
    return "unknown action \"" + word +
           "\" (click, dblclick, hover, drag, wheel, type, key, file, cancel, param, wait, png)";
  out.verb = word;
  while (in >> word)
    out.words.push_back(word);
  if (out.words.size() < verb->minWords || out.words.size() > verb->maxWords)
    return "\"" + line + "\": " + out.verb + " takes " + std::to_string(verb->minWords) +
           (verb->maxWords != verb->minWords ? " or more" : "") + " arguments";
  const bool numeric = out.verb != "type" && out.verb != "key" && out.verb != "file" && out.verb != "png";
  // The numbers come first; a last word past them names modifiers.
  const size_t numbers = out.verb == "drag" ? 4 : out.verb == "wheel" ? 3 : numeric ? verb->minWords : 0;
  double v[4] = {};
  for (size_t i = 0; i < numbers && i < out.words.size(); ++i) {
    if (!Number(out.words[i], v[i]))
      return "\"" + line + "\": \"" + out.words[i] + "\" is not a plain decimal number";
  }
  if (out.verb == "wait" && v[0] < 0.0)
    return "\"" + line + "\": wait takes seconds from 0 on";
  long long id = 0;
  if (out.verb == "param" && !ParseInteger(out.words[0], 0, std::numeric_limits<unsigned>::max(), id))
    return "\"" + line + "\": the parameter ID is a whole number from 0 on (`auhost info` lists them)";
  if (out.verb == "param" && std::fabs(v[1]) > std::numeric_limits<float>::max())
    return "\"" + line + "\": " + out.words[1] + " is beyond any parameter's range";
  return "";
}

std::string RunEditorSession(AUHostUnit& unit, const EditorOptions& options, EditorReport& report)
{
  // A value the host cannot give is refused before anything runs.
  for (const EditorAction& a : options.actions) {
    double id = 0.0, value = 0.0;
    if (a.verb == "param" && Number(a.words[0], id) && Number(a.words[1], value))
      if (std::string e = CheckParameterValue(unit, unsigned(id), float(value)); !e.empty())
        return e;
  }
  for (const auto& [id, value] : options.params)
    if (std::string e = CheckParameterValue(unit, id, value); !e.empty())
      return e;
  // No picture replaces the script, and no dialog is handed a pipe.
  for (const EditorAction& a : options.actions) {
    if (a.verb == "file")
      if (std::string e = CheckDialogAnswer(a.words[0]); !e.empty())
        return e;
    if (a.verb == "png")
      if (std::string e = CheckOutputTarget(a.words[0]); !e.empty())
        return e;
    if (a.verb == "png" && !options.scriptPath.empty() && SameFile(a.words[0], options.scriptPath))
      return "the picture must not be the script; choose another name for " + a.words[0];
  }
  if (!options.pngPath.empty() && !options.scriptPath.empty() && SameFile(options.pngPath, options.scriptPath))
    return "the picture must not be the script; choose another name for " + options.pngPath;
  for (const auto& [id, value] : options.params)
    if (OSStatus s = unit.SetParameter(id, value); s != noErr)
      return "parameter " + std::to_string(id) + " cannot take " + std::to_string(value) + " (status " +
             std::to_string(s) + ")";
  EditorWindow session(unit, report);
  if (std::string e = session.Open(options.screenScale); !e.empty())
    return e;
  if (options.beforeActions)
    if (std::string e = options.beforeActions(unit); !e.empty())
      return e;
  for (const EditorAction& a : options.actions)
    if (!a.verb.empty())
      if (std::string e = session.Do(a); !e.empty())
        return e;
  if (!options.pngPath.empty())
    if (std::string e = session.Picture(options.pngPath); !e.empty())
      return e;
  return "";
}

} // namespace host
