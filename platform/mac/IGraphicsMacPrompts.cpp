// The modal platform dialogs of the macOS graphics: message boxes, file,
// folder and colour prompts, and opening or revealing things.

#include <AppKit/AppKit.h>

#include <string>
#include <vector>

#include "IGraphicsMac.h"
#include "IGraphicsView.h"
#include "MacKeys.h"

namespace plugin::igraphics {

namespace {
// UTF-8 text, or its ASCII reading when it is not valid UTF-8.
NSString* PanelText(const char* text)
{
  const char* t = text ? text : "";
  if (NSString* s = NSString::stringWithUTF8String(t))
    return s;
  std::string ascii;
  for (const char* p = t; *p; ++p)
    ascii.push_back((static_cast<unsigned char>(*p) < 0x80) ? *p : '?');
  return NSString::stringWithCString(ascii.c_str(), NSASCIIStringEncoding);
}

NSString* Button(const char* title) { return title ? NSString::stringWithUTF8String(title) : nullptr; }

// The path without its last component; empty when there is none.
std::string Parent(const std::string& path)
{
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}
} // namespace

int IGraphicsMac::ShowMessageBox(const char* str, const char* caption, int type, std::function<void(int)> completion)
{
  ReleaseMouseCapture();
  int result = 2; // a type without a panel is cancelled
  if (MessageBoxHasPanel(type)) {
    const MessageBoxButtons buttons = MessageBoxButtonsForType(type);
    const NSInteger answer =
      NSRunAlertPanel(PanelText(caption), NSSTR("%@"), Button(buttons.defaultButton), Button(buttons.alternateButton),
                      Button(buttons.otherButton), PanelText(str));
    result = MessageBoxResult(type, answer);
  }
  if (completion)
    completion(result);
  return result;
}

void IGraphicsMac::PromptForFile(UT_String& fileName, UT_String& path, int action, const char* ext)
{
  if (!mView) {
    fileName.Set("");
    return;
  }
  NSString* initialFile = fileName.GetLength() ? NSString::stringWithUTF8String(fileName.Get()) : nullptr;
  NSString* initialFolder = path.GetLength() ? NSString::stringWithUTF8String(path.Get()) : nullptr;
  fileName.Set("");
  std::vector<NSObject*> types;
  if (ext && *ext) {
    const std::string all = ext;
    size_t start = 0;
    while (start <= all.size()) {
      const size_t end = std::min(all.find(' ', start), all.size());
      if (end > start)
        types.push_back(NSString::stringWithUTF8String(all.substr(start, end - start).c_str()));
      start = end + 1;
    }
  }
  NSArray* typeList = types.empty() ? nullptr : NSArray::arrayWithObjects(types.data(), types.size());

  NSInteger result;
  NSSavePanel* panel;
  if (action == 1) {
    panel = NSSavePanel::savePanel();
    panel->setAllowedFileTypes(typeList);
    panel->setAllowsOtherFileTypes(NO);
    panel->setFloatingPanel(YES);
    result = panel->runModalForDirectory(initialFolder, initialFile);
  } else {
    NSOpenPanel* open = NSOpenPanel::openPanel();
    open->setCanChooseFiles(YES);
    open->setCanChooseDirectories(NO);
    open->setResolvesAliases(YES);
    open->setFloatingPanel(YES);
    result = open->runModalForDirectory(initialFolder, initialFile, typeList);
    panel = open;
  }
  if (result != NSFileHandlingPanelOKButton)
    return;
  NSString* chosen = panel->filename();
  if (!chosen)
    return;
  fileName.Set(chosen->UTF8String());
  const std::string folder = Parent(chosen->UTF8String());
  if (folder.empty())
    return;
  const std::string withSlash = (folder == "/" ? std::string() : folder) + "/";
  path.Set(withSlash.c_str());
}

void IGraphicsMac::PromptForDirectory(UT_String& dir)
{
  if (!dir.GetLength())
    dir.Set("~/Desktop");
  NSString* start = NSString::stringWithUTF8String(dir.Get());
  NSOpenPanel* panel = NSOpenPanel::openPanel();
  panel->setTitle(NSSTR("Choose a Directory"));
  panel->setCanChooseFiles(NO);
  panel->setCanChooseDirectories(YES);
  panel->setResolvesAliases(YES);
  panel->setCanCreateDirectories(YES);
  panel->setDirectoryURL(NSURL::fileURLWithPath(start ? start->stringByExpandingTildeInPath() : nullptr));
  if (panel->runModal() == NSModalResponseOK && panel->filename()) {
    std::string chosen = panel->filename()->UTF8String();
    if (chosen.empty() || chosen.back() != '/')
      chosen += "/";
    dir.Set(chosen.c_str());
  } else {
    dir.Set("");
  }
}

bool IGraphicsMac::PromptForColor(IColor& color, const char*, std::function<void(const IColor&)> done)
{
  if (!mView)
    return false;
  return mView->promptForColor(color, std::move(done));
}

bool IGraphicsMac::OpenURL(const char* url, const char*, const char*, const char*)
{
  if (!url)
    return false;
  NSString* text = NSString::stringWithUTF8String(url);
  if (!text)
    return false;
  NSURL* u = std::string(url).find("http") != std::string::npos
               ? NSURL::URLWithString(text)
               : NSURL::fileURLWithPath(text->stringByExpandingTildeInPath());
  if (!u)
    return false;
  return NSWorkspace::sharedWorkspace()->openURL(u);
}

bool IGraphicsMac::RevealPath(const char* path, bool select)
{
  if (!path || !*path)
    return false;
  NSString* p = NSString::stringWithUTF8String(path);
  if (!p || !NSFileManager::defaultManager()->fileExistsAtPath(p))
    return false;
  NSWorkspace* ws = NSWorkspace::sharedWorkspace();
  if (!select)
    return ws->openFile(p);
  const std::string folder = Parent(path);
  if (folder.empty())
    return false;
  NSString* f = NSString::stringWithUTF8String(folder.c_str());
  if (!ws->openFile(f))
    return false;
  return ws->selectFile(p, f);
}

} // namespace plugin::igraphics
