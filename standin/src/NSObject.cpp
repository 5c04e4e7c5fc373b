#include "AutoreleasePool.h"
#include "FoundationInternal.h"

#include <Foundation/NSAutoreleasePool.h>
#include <Foundation/NSString.h>

#include <cstdio>
#include <cstdlib>

namespace standin::ns {
namespace {
std::atomic<long> gLiveObjects{0};
}
long LiveObjects() { return gLiveObjects.load(); }
void CountObject(int delta) { gLiveObjects.fetch_add(delta, std::memory_order_relaxed); }
} // namespace standin::ns

NSObject::NSObject() { standin::ns::CountObject(+1); }
NSObject::~NSObject()
{
  if (!mConstant)
    standin::ns::CountObject(-1);
}

void NSObjectMakeConstant(NSObject* object)
{
  if (object->mConstant)
    return;
  object->mConstant = true;
  standin::ns::CountObject(-1);
}

NSObject* NSObject::retain()
{
  if (mConstant)
    return this;
  mRetainCount.fetch_add(1, std::memory_order_relaxed);
  return this;
}

void NSObject::release()
{
  if (mConstant)
    return;
  const NSUInteger before = mRetainCount.fetch_sub(1, std::memory_order_acq_rel);
  if (before == 0) {
    std::fprintf(stderr, "standin: release of a deallocated %s\n", className());
    std::abort();
  }
  if (before == 1)
    dealloc();
}

NSObject* NSObject::autorelease()
{
  standin::AutoreleaseAdd(this, [](const void* o) { static_cast<NSObject*>(const_cast<void*>(o))->release(); });
  return this;
}

NSUInteger NSObject::retainCount() const
{
  return mConstant ? NSUInteger(-1) : mRetainCount.load(std::memory_order_acquire);
}

NSString* NSObject::description()
{
  char text[96];
  std::snprintf(text, sizeof text, "<%s: %p>", className(), static_cast<void*>(this));
  return NSString::stringWithUTF8String(text);
}

void NSObject::dealloc() { delete this; }

NSAutoreleasePool* NSAutoreleasePool::init()
{
  mToken = standin::PushAutoreleasePool();
  return this;
}

void NSAutoreleasePool::drain()
{
  standin::PopAutoreleasePool(mToken);
  release();
}
