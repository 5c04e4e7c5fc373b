#include "FontDataCache.h"

#include <cstdlib>

#include "IGraphicsVG.h"

namespace plugin::igraphics {

namespace {

StaticStorage<IFontData>* gStorage = nullptr;

// Runs when the module is unloaded (or the process ends): the entries go,
// and the cache itself once no editor uses it, so an unloaded bundle leaves
// nothing behind.
void AtExit()
{
  IGraphicsVG::FontDataCacheAtExit();
  if (gStorage && gStorage->mUsers == 0) {
    delete gStorage;
    gStorage = nullptr;
  }
}

} // namespace

StaticStorage<IFontData>& FontDataCache::Storage()
{
  // Made on first use (before any back end); a late user after AtExit gets
  // a fresh one, so it still finds a valid mutex. Main thread after the
  // first use.
  // A static's destructor, unlike an atexit handler, runs with the module's
  // unloading and never outlives the code it calls.
  struct CacheAtUnload {
    ~CacheAtUnload() { AtExit(); }
  };
  static const CacheAtUnload atUnload;
  (void)atUnload;
  if (!gStorage)
    gStorage = new StaticStorage<IFontData>();
  return *gStorage;
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
