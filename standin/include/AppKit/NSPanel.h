// Modal alerts and file panels. A person's answer comes from the queues of
// standin/Testing.h; with nothing queued a panel is cancelled: an alert
// answers its "Cancel" button when it has one, else its default button
// (the only way to close it), and a file panel answers cancel.
#pragma once

#include <Foundation/NSArray.h>
#include <Foundation/NSURL.h>

#include <string>
#include <vector>

enum : NSInteger { NSAlertDefaultReturn = 1, NSAlertAlternateReturn = 0, NSAlertOtherReturn = -1 };
typedef NSInteger NSModalResponse;
enum : NSModalResponse { NSModalResponseCancel = 0, NSModalResponseOK = 1 };
enum : NSInteger { NSFileHandlingPanelCancelButton = 0, NSFileHandlingPanelOKButton = 1 };

// The message is msgFormat with "%@" replaced by the one argument given.
// Buttons that are nil are not shown.
NS_EXPORT NSInteger NSRunAlertPanel(NSString* title, NSString* msgFormat, NSString* defaultButton,
                                    NSString* alternateButton, NSString* otherButton, NSString* argument);

class NS_EXPORT NSSavePanel : public NSObject {
public:
  static NSSavePanel* savePanel(); // autoreleased
  void setTitle(NSString* title);
  void setAllowedFileTypes(NSArray* types);
  void setAllowsOtherFileTypes(BOOL allows) { mAllowsOther = allows; }
  void setFloatingPanel(BOOL floating) { mFloating = floating; }
  void setCanCreateDirectories(BOOL can) { mCanCreate = can; }
  void setDirectoryURL(NSURL* url);
  NSModalResponse runModal();
  NSInteger runModalForDirectory(NSString* path, NSString* name);
  NSURL* URL() const;         // autoreleased; the chosen item
  NSString* filename() const; // autoreleased
  const char* className() const override { return "NSSavePanel"; }

protected:
  NSSavePanel() = default;
  virtual const char* Kind() const { return "save"; }
  NSModalResponse Run();
  std::string mTitle, mDirectory, mFile, mChosen;
  std::vector<std::string> mTypes;
  BOOL mAllowsOther = YES, mFloating = NO, mCanCreate = NO;
  BOOL mCanChooseFiles = YES, mCanChooseDirectories = NO, mResolvesAliases = YES;
};

class NS_EXPORT NSOpenPanel : public NSSavePanel {
public:
  static NSOpenPanel* openPanel(); // autoreleased
  void setCanChooseFiles(BOOL can) { mCanChooseFiles = can; }
  void setCanChooseDirectories(BOOL can) { mCanChooseDirectories = can; }
  void setResolvesAliases(BOOL resolves) { mResolvesAliases = resolves; }
  NSInteger runModalForDirectory(NSString* path, NSString* name, NSArray* fileTypes);
  NSArray* URLs() const; // autoreleased
  const char* className() const override { return "NSOpenPanel"; }

protected:
  NSOpenPanel() = default;
  const char* Kind() const override { return "open"; }
};
