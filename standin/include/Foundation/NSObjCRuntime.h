// Scalar types of the Objective-C side, expressed in C++.
#pragma once

#include <MacTypes.h>

typedef signed char BOOL;
#ifndef YES
#define YES ((BOOL)1)
#define NO ((BOOL)0)
#endif
typedef long NSInteger;
typedef unsigned long NSUInteger;

enum { NSNotFound = 0x7fffffffffffffffL };

// Classes and functions of the Objective-C side stay visible to modules
// built with hidden symbols.
#define NS_EXPORT __attribute__((visibility("default")))

typedef struct _NSRange {
  NSUInteger location;
  NSUInteger length;
} NSRange;

// ---- Class registry ----------------------------------------------------------
// Classes are found by name, as the host finds a view factory. A class the
// system defines registers itself with objc_registerClass (at load time);
// registering a name again replaces the earlier class, and a module that is
// unloaded disposes of its classes first.

class NSObject;
class NSString;
struct objc_class;
typedef const struct objc_class* Class;

// allocate returns a new, not yet initialised instance (retain count 1).
NS_EXPORT Class objc_registerClass(const char* name, Class superclass, NSObject* (*allocate)());
NS_EXPORT void objc_disposeClassPair(Class cls);
NS_EXPORT Class objc_getClass(const char* name); // nil when unknown
NS_EXPORT const char* class_getName(Class cls);
NS_EXPORT Class class_getSuperclass(Class cls);
// Like [cls alloc]: the caller sends init next. extraBytes must be 0.
NS_EXPORT NSObject* class_createInstance(Class cls, size_t extraBytes);
NS_EXPORT Class NSClassFromString(NSString* aClassName);
NS_EXPORT NSString* NSStringFromClass(Class aClass); // autoreleased

// ---- Selectors as values -------------------------------------------------------
// A target-action selector (timers, menu items, panels, notifications) is
// a function that sends the message to a target with a sender;
// NSSELECTOR(Class, method) stands for @selector(method:).
typedef void (*SEL)(NSObject* target, NSObject* sender);
template <class T, void (T::*Method)(NSObject*)> void NSSelectorThunk(NSObject* target, NSObject* sender)
{
  (static_cast<T*>(target)->*Method)(sender);
}
#define NSSELECTOR(Class, method) (&NSSelectorThunk<Class, &Class::method>)
