#pragma once
// Paths of the platform's standard folders and of bundles, as UTF-8 text
// without a trailing separator unless stated. A lookup that finds nothing
// leaves "" (or, where stated, the old value). Main thread.

#include "UT_String.h"

namespace plugin {

// Application support of the user domain (or of the system domain).
void AppSupportPath(UT_String& out, bool system = false);
// The user's application support, then "/" and name.
void AppSupportSubPath(UT_String& out, const char* name);
void MusicPath(UT_String& out);
void DesktopPath(UT_String& out);
void UserHomePath(UT_String& out);
// The documents folder every user of the machine shares.
void SharedDocumentsPath(UT_String& out);
void BundleResourcePath(UT_String& out, const char* bundleID);
// out unchanged when there is no such bundle.
void BundleExecutablePath(UT_String& out, const char* bundleID);
// The folder holding the bundle, with a trailing "/".
void BundleParentPath(UT_String& out, const char* bundleID);
// "<library>/Audio/Presets/<maker>/<plug-in>/" (user or local library).
void PresetsPath(UT_String& out, const char* mfrName, const char* pluginName, bool local = false);
// True when the home folder lies inside an app container.
bool IsSandboxed();

// Finds a resource file: in the bundle (when the name's extension equals
// type, ignoring case), then in the shared folder
// <music>/<sharedResourcesSubPath>/Resources/<name>.<type>, then as a plain
// path. False, with result "", when none exists.
bool LocateResource(const char* name, const char* type, UT_String& result, const char* bundleID,
                    const char* sharedResourcesSubPath);

// True when something that is not a folder exists at path.
bool FileExists(const char* path);
// True when a folder exists at path.
bool FolderExists(const char* path);
// Makes the last component of path unless a folder is already there; the
// process umask is left alone (it decides the final mode, as for every
// other file the host writes). True when the folder exists afterwards.
bool CreateFolder(const char* path);

} // namespace plugin
