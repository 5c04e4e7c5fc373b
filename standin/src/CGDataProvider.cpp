#include "CFInternal.h"
#include "FontObjects.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <vector>

using namespace standin::cf;

CGDataProvider::~CGDataProvider()
{
  if (releaseData)
    releaseData(info, data, size);
  if (ownedData)
    CFRelease(ownedData);
}

namespace {

CGDataProvider* Provider(CFTypeRef p) { return As<CGDataProvider>(p, kDataProviderTypeID); }

bool IsReadableFile(const std::string& path)
{
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

} // namespace

CFTypeID CGDataProviderGetTypeID(void) { return kDataProviderTypeID; }

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback releaseData)
{
  if (!data && size > 0)
    return nullptr;
  auto* p = new CGDataProvider();
  p->info = info;
  p->data = data;
  p->size = size;
  p->releaseData = releaseData;
  return p;
}

CGDataProviderRef CGDataProviderCreateWithURL(CFURLRef url)
{
  if (!url || CFURLHasDirectoryPath(url))
    return nullptr;
  const std::string& path = URLPath(url);
  if (!IsReadableFile(path))
    return nullptr;
  auto* p = new CGDataProvider();
  p->path = path;
  return p;
}

CGDataProviderRef CGDataProviderCreateWithCFData(CFDataRef data)
{
  if (!data)
    return nullptr;
  auto* p = new CGDataProvider();
  p->ownedData = static_cast<CFDataRef>(CFRetain(data));
  p->data = CFDataGetBytePtr(data);
  p->size = size_t(CFDataGetLength(data));
  return p;
}

CFDataRef CGDataProviderCopyData(CGDataProviderRef provider)
{
  const CGDataProvider* p = Provider(provider);
  if (p->path.empty())
    return CFDataCreate(nullptr, static_cast<const UInt8*>(p->data), CFIndex(p->size));
  std::ifstream in(p->path, std::ios::binary);
  if (!in)
    return nullptr;
  // In blocks: a font read byte by byte costs an editor's opening much of its time.
  std::vector<UInt8> bytes;
  char block[1 << 16];
  while (in) {
    in.read(block, sizeof block);
    bytes.insert(bytes.end(), block, block + in.gcount());
  }
  if (in.bad())
    return nullptr;
  return CFDataCreate(nullptr, bytes.data(), CFIndex(bytes.size()));
}

CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider)
{
  if (provider)
    CFRetain(provider);
  return provider;
}

void CGDataProviderRelease(CGDataProviderRef provider)
{
  if (provider)
    CFRelease(provider);
}
