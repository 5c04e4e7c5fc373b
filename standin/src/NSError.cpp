#include <Foundation/NSError.h>
#include <Foundation/NSString.h>

NSError* NSError::errorWithDomain(NSString* domain, NSInteger code, NSString* localizedDescription)
{
  NSError* e = new NSError();
  e->mDomain = domain ? static_cast<NSString*>(domain->retain()) : nullptr;
  e->mCode = code;
  e->mDescription = localizedDescription ? static_cast<NSString*>(localizedDescription->retain()) : nullptr;
  return static_cast<NSError*>(e->autorelease());
}

void NSError::dealloc()
{
  if (mDomain)
    mDomain->release();
  if (mDescription)
    mDescription->release();
  NSObject::dealloc();
}
