#include <Foundation/NSArray.h>

NSArray* NSArray::initWithObjects(std::initializer_list<NSObject*> objects)
{
  return initWithObjects(objects.begin(), objects.size());
}

NSArray* NSArray::initWithObjects(NSObject* const* objects, NSUInteger count)
{
  for (NSUInteger i = 0; i < count; ++i) {
    if (objects[i])
      mObjects.push_back(objects[i]->retain());
  }
  return this;
}

NSArray* NSArray::arrayWithObjects(NSObject* const* objects, NSUInteger count)
{
  return static_cast<NSArray*>(alloc()->initWithObjects(objects, count)->autorelease());
}

NSArray* NSArray::array() { return static_cast<NSArray*>(alloc()->init()->autorelease()); }

NSArray* NSArray::arrayWithObject(NSObject* object) { return arrayWithObjects({object}); }

NSArray* NSArray::arrayWithObjects(std::initializer_list<NSObject*> objects)
{
  return static_cast<NSArray*>(alloc()->initWithObjects(objects)->autorelease());
}

NSObject* NSArray::objectAtIndex(NSUInteger index) const { return index < mObjects.size() ? mObjects[index] : nullptr; }

BOOL NSArray::containsObject(NSObject* object) const
{
  for (NSObject* o : mObjects) {
    if (o == object || (object && o->isEqual(object)))
      return YES;
  }
  return NO;
}

void NSArray::dealloc()
{
  for (NSObject* o : mObjects)
    o->release();
  mObjects.clear();
  NSObject::dealloc();
}
