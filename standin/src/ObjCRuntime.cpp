#include "FoundationInternal.h"

#include <Foundation/NSObjCRuntime.h>
#include <Foundation/NSString.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct objc_class {
  std::string name;
  Class superclass;
  NSObject* (*allocate)();
};

namespace {

struct ClassRegistry {
  std::mutex mutex;
  std::map<std::string, objc_class*> byName;
  // Every class ever registered: Class values stay valid for the process.
  std::vector<std::unique_ptr<objc_class>> all;
};

ClassRegistry& Classes()
{
  static ClassRegistry* r = new ClassRegistry();
  return *r;
}

} // namespace

Class objc_registerClass(const char* name, Class superclass, NSObject* (*allocate)())
{
  if (!name || !*name || !allocate)
    return nullptr;
  ClassRegistry& r = Classes();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.all.push_back(std::make_unique<objc_class>(objc_class{name, superclass, allocate}));
  r.byName[name] = r.all.back().get();
  return r.all.back().get();
}

void objc_disposeClassPair(Class cls)
{
  if (!cls)
    return;
  ClassRegistry& r = Classes();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.byName.find(cls->name);
  if (it != r.byName.end() && it->second == cls)
    r.byName.erase(it);
}

Class objc_getClass(const char* name)
{
  if (!name)
    return nullptr;
  ClassRegistry& r = Classes();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.byName.find(name);
  return it == r.byName.end() ? nullptr : it->second;
}

const char* class_getName(Class cls) { return cls ? cls->name.c_str() : "nil"; }
Class class_getSuperclass(Class cls) { return cls ? cls->superclass : nullptr; }

NSObject* class_createInstance(Class cls, size_t extraBytes)
{
  if (!cls || extraBytes != 0)
    return nullptr;
  // A disposed class may belong to an unloaded module: never call into it.
  if (objc_getClass(cls->name.c_str()) != cls)
    return nullptr;
  return cls->allocate();
}

Class NSClassFromString(NSString* aClassName) { return aClassName ? objc_getClass(aClassName->UTF8String()) : nullptr; }

NSString* NSStringFromClass(Class aClass) { return aClass ? standin::ns::MakeString(aClass->name) : nullptr; }
