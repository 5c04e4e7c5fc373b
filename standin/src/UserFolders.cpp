// The user's home and the system root behind the standard-folder searches.
#include "FoundationInternal.h"

#include <Foundation/NSPathUtilities.h>
#include <standin/Host.h>

#include <sys/stat.h>

#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

struct Folders {
  std::mutex mutex;
  std::string home;
  std::string root;
};

Folders& State()
{
  static Folders* f = [] {
    auto* folders = new Folders();
    const char* home = std::getenv("HOME");
    folders->home = home && *home ? home : "/tmp";
    return folders;
  }();
  return *f;
}

// Relative location of a folder in a domain's library-style layout; "" when
// the domain has no such folder.
std::string Relative(NSSearchPathDirectory directory, bool userDomain)
{
  switch (directory) {
  case NSApplicationDirectory: return "Applications";
  case NSUserDirectory: return userDomain ? "" : "Users";
  case NSLibraryDirectory: return "Library";
  case NSApplicationSupportDirectory: return "Library/Application Support";
  case NSCachesDirectory: return "Library/Caches";
  case NSAutosavedInformationDirectory: return userDomain ? "Library/Autosave Information" : "";
  case NSInputMethodsDirectory: return "Library/Input Methods";
  case NSPreferencePanesDirectory: return "Library/PreferencePanes";
  case NSDocumentationDirectory: return "Library/Documentation";
  case NSApplicationScriptsDirectory: return userDomain ? "Library/Application Scripts" : "";
  case NSDesktopDirectory: return userDomain ? "Desktop" : "";
  case NSDocumentDirectory: return userDomain ? "Documents" : "";
  case NSDownloadsDirectory: return userDomain ? "Downloads" : "";
  case NSMoviesDirectory: return userDomain ? "Movies" : "";
  case NSMusicDirectory: return userDomain ? "Music" : "";
  case NSPicturesDirectory: return userDomain ? "Pictures" : "";
  case NSSharedPublicDirectory: return userDomain ? "Public" : "";
  case NSTrashDirectory: return userDomain ? ".Trash" : "";
  default: return "";
  }
}

void MakeFolders(const std::string& path)
{
  // Each missing component in turn; failures surface later as missing folders.
  for (size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
    ::mkdir(path.substr(0, at).c_str(), 0755);
    if (at == std::string::npos)
      break;
  }
}

} // namespace

namespace standin::ns {

std::string UserHomePath()
{
  Folders& f = State();
  std::lock_guard<std::mutex> lock(f.mutex);
  return f.home;
}

std::string SystemRootPath()
{
  Folders& f = State();
  std::lock_guard<std::mutex> lock(f.mutex);
  return f.root;
}

} // namespace standin::ns

namespace standin {

void SetUserHome(const std::string& path, bool createStandardFolders)
{
  std::string home = path;
  while (home.size() > 1 && home.back() == '/')
    home.pop_back();
  {
    Folders& f = State();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.home = home;
  }
  if (!createStandardFolders)
    return;
  for (const char* sub : {"Library/Application Support", "Library/Caches", "Library/Preferences", "Desktop",
                          "Documents", "Downloads", "Movies", "Music", "Pictures"}) {
    MakeFolders(home + "/" + sub);
  }
}

std::string UserHome() { return ns::UserHomePath(); }

void SetSystemRoot(const std::string& path)
{
  std::string root = path;
  while (!root.empty() && root.back() == '/')
    root.pop_back();
  Folders& f = State();
  std::lock_guard<std::mutex> lock(f.mutex);
  f.root = root;
}

} // namespace standin

NSArray* NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory, NSSearchPathDomainMask domainMask,
                                             BOOL expandTilde)
{
  const std::string home = standin::ns::UserHomePath();
  const std::string root = standin::ns::SystemRootPath();
  std::vector<std::string> paths;
  if (domainMask & NSUserDomainMask) {
    const std::string rel = Relative(directory, true);
    if (!rel.empty())
      paths.push_back((expandTilde ? home : std::string("~")) + "/" + rel);
  }
  if (domainMask & NSLocalDomainMask) {
    const std::string rel = Relative(directory, false);
    if (!rel.empty())
      paths.push_back(root + "/" + rel);
  }
  if (domainMask & NSSystemDomainMask) {
    const std::string rel = Relative(directory, false);
    if (!rel.empty() && rel.compare(0, 7, "Library") == 0)
      paths.push_back(root + "/System/" + rel);
  }
  std::vector<NSObject*> objects;
  for (const std::string& p : paths)
    objects.push_back(standin::ns::MakeString(p));
  return NSArray::arrayWithObjects(objects.data(), objects.size());
}

NSString* NSHomeDirectory(void) { return standin::ns::MakeString(standin::ns::UserHomePath()); }

NSString* NSTemporaryDirectory(void)
{
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = tmp && *tmp ? tmp : "/tmp";
  if (dir.back() != '/')
    dir.push_back('/');
  return standin::ns::MakeString(dir);
}
