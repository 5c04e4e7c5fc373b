// The object model behind every CF reference: a polymorphic base with an
// atomic retain count and a process-wide count of live objects.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace standin::cf {

enum TypeIds : CFTypeID {
  kAllocatorTypeID = 2,
  kNullTypeID,
  kStringTypeID = 7,
  kBooleanTypeID = 21,
  kNumberTypeID = 22,
  kDataTypeID = 20,
  kArrayTypeID = 19,
  kDictionaryTypeID = 18,
  kURLTypeID = 29,
  kBundleTypeID = 31,
  kRunLoopTypeID = 43,
  kRunLoopTimerTypeID = 45,
  kDataProviderTypeID = 60,
  kCGFontTypeID,
  kCTFontTypeID,
  kCTFontDescriptorTypeID,
};

class Object {
public:
  explicit Object(CFTypeID type);
  virtual ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  CFTypeID Type() const { return mType; }
  bool IsConstant() const { return mConstant; }
  // Takes the object out of reference counting for the life of the process.
  void MakeConstant();

  void Retain() const;
  // Deletes the object when the last reference goes.
  void Release() const;
  CFIndex RetainCount() const;

  virtual bool Equal(const Object& other) const { return this == &other; }
  virtual CFHashCode Hash() const { return reinterpret_cast<CFHashCode>(this); }
  // UTF-8 text of CFCopyDescription and of %@ in formats.
  virtual std::string Describe() const;

private:
  const CFTypeID mType;
  bool mConstant = false;
  mutable std::atomic<CFIndex> mRefs{1};
};

// Stops the process: the platform crashes on the same misuse.
[[noreturn]] void Fatal(const char* what);

inline const Object* AsObject(CFTypeRef ref)
{
  if (!ref)
    Fatal("NULL passed where a CF object is required");
  return static_cast<const Object*>(ref);
}

// The object behind ref as T, or a fatal stop when ref is another type.
template <class T> T* As(CFTypeRef ref, CFTypeID type)
{
  const Object* o = AsObject(ref);
  if (o->Type() != type)
    Fatal("CF object of the wrong type");
  return const_cast<T*>(static_cast<const T*>(o));
}

long LiveObjects();
long LiveAllocatorBlocks();

} // namespace standin::cf
