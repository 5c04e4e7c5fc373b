#include "FontDataCache.h"

#include <cstdlib>

#include "IGraphicsVG.h"

namespace plugin::igraphics {

namespace {

StaticStorage<IFontData>* gStorage = nullptr;

void AtExit() { IGraphicsVG::FontDataCacheAtExit(); }

} // namespace

StaticStorage<IFontData>& FontDataCache::Storage()
{
  // Made on first use (before any back end) and never destroyed, so late
  // users at exit still find a valid mutex; its entries go at exit.
  static StaticStorage<IFontData>* storage = [] {
    gStorage = new StaticStorage<IFontData>();
    std::atexit(AtExit);
    return gStorage;
  }();
  return *storage;
}

void FontDataCache::AddUser()
{
  StaticStorage<IFontData>& s = Storage();
  std::lock_guard<std::recursive_mutex> lock(s.mMutex);
  ++s.mUsers;
}

void FontDataCache::RemoveUser()
{
  StaticStorage<IFontData>& s = Storage();
  std::lock_guard<std::recursive_mutex> lock(s.mMutex);
  if (s.mUsers > 0 && --s.mUsers == 0)
    s.Empty();
}

void IGraphicsVG::FontDataCacheAtExit()
{
  StaticStorage<IFontData>& s = FontDataCache::Storage();
  std::lock_guard<std::recursive_mutex> lock(s.mMutex);
  s.Empty();
}

} // namespace plugin::igraphics
