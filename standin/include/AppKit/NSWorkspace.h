// The workspace opens URLs and files and reveals files in the file viewer;
// the stand-in records each request (standin/Testing.h).
#pragma once

#include <Foundation/NSURL.h>

class NS_EXPORT NSWorkspace : public NSObject {
public:
  static NSWorkspace* sharedWorkspace();
  // NO when the test said the system cannot open it.
  BOOL openURL(NSURL* url);
  // NO when nothing is at the path.
  BOOL openFile(NSString* path);
  BOOL selectFile(NSString* path, NSString* rootFullPath);
  const char* className() const override { return "NSWorkspace"; }

private:
  NSWorkspace() = default;
};
