// Immutable ordered collection; it retains its objects.
#pragma once

#include <Foundation/NSObject.h>

#include <initializer_list>
#include <vector>

class NS_EXPORT NSArray : public NSObject {
public:
  static NSArray* alloc() { return new NSArray(); }
  NSArray* init() override { return this; }
  NSArray* initWithObjects(std::initializer_list<NSObject*> objects);
  NSArray* initWithObjects(NSObject* const* objects, NSUInteger count);

  static NSArray* array();                                                      // autoreleased
  static NSArray* arrayWithObject(NSObject* object);                            // autoreleased
  static NSArray* arrayWithObjects(std::initializer_list<NSObject*> objects);   // autoreleased
  static NSArray* arrayWithObjects(NSObject* const* objects, NSUInteger count); // autoreleased

  NSUInteger count() const { return mObjects.size(); }
  NSObject* objectAtIndex(NSUInteger index) const;
  NSObject* firstObject() const { return mObjects.empty() ? nullptr : mObjects.front(); }
  NSObject* lastObject() const { return mObjects.empty() ? nullptr : mObjects.back(); }
  BOOL containsObject(NSObject* object) const;
  const char* className() const override { return "NSArray"; }

protected:
  NSArray() = default;
  void dealloc() override;
  std::vector<NSObject*> mObjects;
};
