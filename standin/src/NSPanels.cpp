#include "AppKitInternal.h"
#include "FoundationInternal.h"

#include <AppKit/AppKit.h>

#include <sys/stat.h>
#include <unistd.h>

using standin::appkit::Person;
using standin::appkit::Text;

// ---- Alerts -----------------------------------------------------------------------

NSInteger NSRunAlertPanel(NSString* title, NSString* msgFormat, NSString* defaultButton, NSString* alternateButton,
                          NSString* otherButton, NSString* argument)
{
  std::string message = Text(msgFormat);
  if (const auto at = message.find("%@"); at != std::string::npos)
    message.replace(at, 2, Text(argument));
  // A nil default button shows "OK", as the platform does.
  const std::string def = defaultButton ? Text(defaultButton) : "OK";
  Person().alerts.push_back({Text(title), message, def, Text(alternateButton), Text(otherButton)});
  auto& queue = Person().alertButtons;
  long pressed = 2; // none yet
  if (!queue.empty()) {
    pressed = queue.front();
    queue.pop_front();
    if ((pressed == NSAlertAlternateReturn && !alternateButton) || (pressed == NSAlertOtherReturn && !otherButton))
      pressed = 2;
  }
  if (pressed == 2) { // cancelled: the "Cancel" button, else the default one
    if (Text(alternateButton) == "Cancel")
      return NSAlertAlternateReturn;
    if (Text(otherButton) == "Cancel")
      return NSAlertOtherReturn;
    return NSAlertDefaultReturn;
  }
  return pressed;
}

// ---- File panels -----------------------------------------------------------------

NSSavePanel* NSSavePanel::savePanel() { return static_cast<NSSavePanel*>((new NSSavePanel())->autorelease()); }
NSOpenPanel* NSOpenPanel::openPanel()
{
  auto* p = new NSOpenPanel();
  p->mAllowsOther = NO;
  return static_cast<NSOpenPanel*>(p->autorelease());
}

void NSSavePanel::setTitle(NSString* title) { mTitle = Text(title); }

void NSSavePanel::setAllowedFileTypes(NSArray* types)
{
  mTypes.clear();
  for (NSUInteger i = 0; types && i < types->count(); ++i)
    mTypes.push_back(Text(static_cast<NSString*>(types->objectAtIndex(i))));
}

void NSSavePanel::setDirectoryURL(NSURL* url) { mDirectory = url ? Text(url->path()) : ""; }

NSModalResponse NSSavePanel::Run()
{
  standin::ShownPanel shown;
  shown.kind = Kind();
  shown.title = mTitle;
  shown.directory = mDirectory;
  shown.file = mFile;
  shown.types = mTypes;
  shown.canChooseFiles = mCanChooseFiles;
  shown.canChooseDirectories = mCanChooseDirectories;
  shown.resolvesAliases = mResolvesAliases;
  shown.canCreateDirectories = mCanCreate;
  shown.floating = mFloating;
  shown.allowsOtherTypes = mAllowsOther;
  Person().panels.push_back(shown);
  mChosen.clear();
  auto& queue = Person().panelChoices;
  if (queue.empty())
    return NSModalResponseCancel;
  const std::optional<std::string> choice = queue.front();
  queue.pop_front();
  if (!choice)
    return NSModalResponseCancel;
  if (const auto& check = Person().panelChoiceCheck; check && !check(shown.kind, *choice))
    return NSModalResponseCancel;
  mChosen = *choice;
  return NSModalResponseOK;
}

NSModalResponse NSSavePanel::runModal() { return Run(); }

NSInteger NSSavePanel::runModalForDirectory(NSString* path, NSString* name)
{
  if (path)
    mDirectory = Text(path);
  mFile = Text(name);
  return Run();
}

NSInteger NSOpenPanel::runModalForDirectory(NSString* path, NSString* name, NSArray* fileTypes)
{
  if (fileTypes)
    setAllowedFileTypes(fileTypes);
  return NSSavePanel::runModalForDirectory(path, name);
}

NSURL* NSSavePanel::URL() const
{
  return mChosen.empty() ? nullptr : NSURL::fileURLWithPath(NSString::stringWithUTF8String(mChosen.c_str()));
}

NSString* NSSavePanel::filename() const
{
  return mChosen.empty() ? nullptr : NSString::stringWithUTF8String(mChosen.c_str());
}

NSArray* NSOpenPanel::URLs() const
{
  NSURL* url = URL();
  return url ? NSArray::arrayWithObject(url) : NSArray::array();
}

// ---- Colours ----------------------------------------------------------------------

NSColor* NSColor::colorWithDeviceRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
  auto* c = new NSColor();
  auto clamp = [](CGFloat v) { return v < 0 ? 0 : v > 1 ? 1 : v; };
  c->mR = clamp(red);
  c->mG = clamp(green);
  c->mB = clamp(blue);
  c->mA = clamp(alpha);
  return static_cast<NSColor*>(c->autorelease());
}

namespace {
NSColorPanel*& SharedPanel()
{
  static NSColorPanel* panel = nullptr;
  return panel;
}
} // namespace

NSColorPanel* NSColorPanel::sharedColorPanel()
{
  if (!SharedPanel())
    SharedPanel() = new NSColorPanel();
  return SharedPanel();
}

BOOL NSColorPanel::sharedColorPanelExists() { return SharedPanel() != nullptr; }

void NSColorPanel::setColor(NSColor* color)
{
  if (color)
    color->retain();
  if (mColor)
    mColor->release();
  mColor = color;
}

void NSColorPanel::Pick(NSColor* color)
{
  setColor(color);
  if (mAction && mTarget)
    mAction(mTarget, this);
}

void NSColorPanel::Dispose()
{
  if (NSColorPanel* p = SharedPanel()) {
    SharedPanel() = nullptr;
    p->release();
  }
}

void NSColorPanel::dealloc()
{
  setColor(nullptr);
  NSObject::dealloc();
}

// ---- URLs, files and the workspace ------------------------------------------------------

NSURL* NSURL::URLWithString(NSString* text)
{
  const std::string t = Text(text);
  if (t.empty())
    return nullptr;
  int square = 0;
  for (unsigned char c : t) {
    if (c <= 32 || c >= 127 || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' || c == '{' ||
        c == '|' || c == '}')
      return nullptr;
    square += c == '[' ? 1 : c == ']' ? -1 : 0;
    if (square < 0)
      return nullptr;
  }
  if (square != 0)
    return nullptr;
  auto* u = new NSURL();
  u->mText = static_cast<NSString*>(text->retain());
  return static_cast<NSURL*>(u->autorelease());
}

NSURL* NSURL::fileURLWithPath(NSString* path)
{
  std::string p = Text(path);
  if (p.empty())
    return nullptr;
  if (p[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
      p = std::string(cwd) + "/" + p;
  }
  auto* u = new NSURL();
  u->mFile = true;
  u->mPath = static_cast<NSString*>(NSString::stringWithUTF8String(p.c_str())->retain());
  u->mText = static_cast<NSString*>(NSString::stringWithUTF8String(("file://" + p).c_str())->retain());
  return static_cast<NSURL*>(u->autorelease());
}

NSString* NSURL::path() const
{
  if (mFile)
    return mPath;
  const std::string t = Text(mText);
  const auto scheme = t.find("://");
  if (scheme == std::string::npos)
    return NSString::stringWithUTF8String(t.c_str());
  const auto slash = t.find('/', scheme + 3);
  return NSString::stringWithUTF8String(slash == std::string::npos ? "" : t.substr(slash).c_str());
}

void NSURL::dealloc()
{
  if (mText)
    mText->release();
  if (mPath)
    mPath->release();
  NSObject::dealloc();
}

NSFileManager* NSFileManager::defaultManager()
{
  static NSFileManager* manager = [] {
    auto* m = new NSFileManager();
    NSObjectMakeConstant(m);
    return m;
  }();
  return manager;
}

BOOL NSFileManager::fileExistsAtPath(NSString* path)
{
  struct stat st;
  return path && stat(path->UTF8String(), &st) == 0;
}

NSWorkspace* NSWorkspace::sharedWorkspace()
{
  static NSWorkspace* workspace = [] {
    auto* w = new NSWorkspace();
    NSObjectMakeConstant(w);
    return w;
  }();
  return workspace;
}

BOOL NSWorkspace::openURL(NSURL* url)
{
  if (!url)
    return NO;
  Person().workspace.push_back("url " + Text(url->absoluteString()));
  return Person().openURLSucceeds;
}

BOOL NSWorkspace::openFile(NSString* path)
{
  if (!NSFileManager::defaultManager()->fileExistsAtPath(path))
    return NO;
  Person().workspace.push_back("file " + Text(path));
  return YES;
}

BOOL NSWorkspace::selectFile(NSString* path, NSString* rootFullPath)
{
  if (!NSFileManager::defaultManager()->fileExistsAtPath(path))
    return NO;
  Person().workspace.push_back("select " + Text(path) + " " + Text(rootFullPath));
  return YES;
}
