// Notifications: observers are not retained; removeObserver before an
// observer goes away. Posting delivers synchronously, in registration order.
#pragma once

#include <Foundation/NSString.h>

#include <vector>

class NS_EXPORT NSNotification : public NSObject {
public:
  static NSNotification* notificationWithName(NSString* name, NSObject* object); // autoreleased
  NSString* name() const { return mName; }
  NSObject* object() const { return mObject; }
  const char* className() const override { return "NSNotification"; }

protected:
  NSNotification() = default;
  void dealloc() override;

private:
  NSString* mName = nullptr;
  NSObject* mObject = nullptr;
};

class NS_EXPORT NSNotificationCenter : public NSObject {
public:
  static NSNotificationCenter* defaultCenter();
  // A nil name or object matches every name or sender.
  void addObserver(NSObject* observer, SEL selector, NSString* name, NSObject* object);
  void removeObserver(NSObject* observer);
  void postNotificationName(NSString* name, NSObject* object);
  void postNotification(NSNotification* notification);
  const char* className() const override { return "NSNotificationCenter"; }

private:
  NSNotificationCenter() = default;
  struct Observer {
    NSObject* observer;
    SEL selector;
    NSString* name; // retained
    NSObject* object;
  };
  std::vector<Observer> mObservers;
};
