// Standard folders. The user domain lives under the home folder the host
// sets; the local and system domains under its system root.
#pragma once

#include <Foundation/NSArray.h>
#include <Foundation/NSString.h>

typedef enum : NSUInteger {
  NSApplicationDirectory = 1,
  NSDemoApplicationDirectory,
  NSDeveloperApplicationDirectory,
  NSAdminApplicationDirectory,
  NSLibraryDirectory,
  NSDeveloperDirectory,
  NSUserDirectory,
  NSDocumentationDirectory,
  NSDocumentDirectory,
  NSCoreServiceDirectory,
  NSAutosavedInformationDirectory = 11,
  NSDesktopDirectory = 12,
  NSCachesDirectory = 13,
  NSApplicationSupportDirectory = 14,
  NSDownloadsDirectory = 15,
  NSInputMethodsDirectory = 16,
  NSMoviesDirectory = 17,
  NSMusicDirectory = 18,
  NSPicturesDirectory = 19,
  NSPrinterDescriptionDirectory = 20,
  NSSharedPublicDirectory = 21,
  NSPreferencePanesDirectory = 22,
  NSApplicationScriptsDirectory = 23,
  NSItemReplacementDirectory = 99,
  NSAllApplicationsDirectory = 100,
  NSAllLibrariesDirectory = 101,
  NSTrashDirectory = 102
} NSSearchPathDirectory;

typedef enum : NSUInteger {
  NSUserDomainMask = 1,
  NSLocalDomainMask = 2,
  NSNetworkDomainMask = 4,
  NSSystemDomainMask = 8,
  NSAllDomainsMask = 0x0ffff
} NSSearchPathDomainMask;

// Autoreleased array of NSString paths, user domain first. Paths are listed
// whether or not the folder exists; without expandTilde the user's start with "~".
NS_EXPORT NSArray* NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory,
                                                       NSSearchPathDomainMask domainMask, BOOL expandTilde);
NS_EXPORT NSString* NSHomeDirectory(void);      // autoreleased
NS_EXPORT NSString* NSTemporaryDirectory(void); // autoreleased, ends with "/"
