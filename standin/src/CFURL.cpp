#include "CFInternal.h"
#include "CFRuntime.h"

#include <cstring>
#include <mutex>

using namespace standin::cf;

// A file URL: an absolute or relative POSIX path and whether it names a folder.
struct __CFURL final : Object {
  __CFURL(std::string p, bool dir) : Object(kURLTypeID), path(std::move(p)), isDirectory(dir) {}
  ~__CFURL() override
  {
    if (text)
      CFRelease(text);
  }
  bool Equal(const Object& other) const override
  {
    const auto& o = static_cast<const __CFURL&>(other);
    return path == o.path && isDirectory == o.isDirectory;
  }
  CFHashCode Hash() const override { return std::hash<std::string>()(path); }
  std::string Describe() const override { return String(); }
  std::string String() const { return "file://" + path + (isDirectory && path != "/" ? "/" : ""); }

  std::string path;
  bool isDirectory;
  std::once_flag textOnce;
  CFStringRef text = nullptr; // made on the first CFURLGetString, owned
};

namespace {

__CFURL* Url(CFTypeRef u) { return As<__CFURL>(u, kURLTypeID); }

std::string Trimmed(std::string path)
{
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

} // namespace

namespace standin::cf {

CFURLRef MakeFileURL(const std::string& path, bool isDirectory) { return new __CFURL(Trimmed(path), isDirectory); }
const std::string& URLPath(CFURLRef url) { return Url(url)->path; }

} // namespace standin::cf

CFTypeID CFURLGetTypeID(void) { return kURLTypeID; }

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath, CFURLPathStyle pathStyle,
                                       Boolean isDirectory)
{
  if (!filePath || pathStyle != kCFURLPOSIXPathStyle)
    return nullptr;
  const std::string& path = StringUTF8(filePath);
  if (path.empty())
    return nullptr;
  return MakeFileURL(path, isDirectory);
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer, CFIndex bufLen,
                                                 Boolean isDirectory)
{
  if (!buffer || bufLen <= 0)
    return nullptr;
  return MakeFileURL(std::string(reinterpret_cast<const char*>(buffer), size_t(bufLen)), isDirectory);
}

CFURLRef CFURLCreateWithString(CFAllocatorRef, CFStringRef URLString, CFURLRef)
{
  if (!URLString)
    return nullptr;
  const std::string& text = StringUTF8(URLString);
  static const std::string kScheme = "file://";
  if (text.compare(0, kScheme.size(), kScheme) != 0 || text.size() == kScheme.size())
    return nullptr;
  const std::string path = text.substr(kScheme.size());
  return MakeFileURL(path, path.size() > 1 && path.back() == '/');
}

CFStringRef CFURLGetString(CFURLRef anURL)
{
  // A borrowed reference that lives as long as the URL.
  __CFURL* url = Url(anURL);
  std::call_once(url->textOnce, [url] { url->text = MakeString(url->String()); });
  return url->text;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle)
{
  if (pathStyle != kCFURLPOSIXPathStyle)
    return nullptr;
  return MakeString(Url(anURL)->path);
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef url)
{
  const std::string& path = Url(url)->path;
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || path == "/")
    return MakeString(path);
  return MakeString(path.substr(slash + 1));
}

CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef, CFURLRef url)
{
  const std::string& path = Url(url)->path;
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return MakeFileURL(".", true);
  return MakeFileURL(slash == 0 ? "/" : path.substr(0, slash), true);
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef url, CFStringRef pathComponent,
                                               Boolean isDirectory)
{
  const std::string& path = Url(url)->path;
  return MakeFileURL((path == "/" ? path : path + "/") + StringUTF8(pathComponent), isDirectory);
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL) { return Url(anURL)->isDirectory; }

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen)
{
  const std::string& path = Url(url)->path;
  if (!buffer || CFIndex(path.size()) + 1 > maxBufLen)
    return false;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}
