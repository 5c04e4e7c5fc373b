// What a host process does to the platform stand-in: it fills the bundle
// registry, chooses the user folders, pumps the main run loop and moves its
// clock, registers the audio units it opens and listens to their events.
// Product code never includes this header.
#pragma once

#include <AudioToolbox/AudioUnitUtilities.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include <functional>
#include <map>
#include <string>

#pragma GCC visibility push(default)
namespace standin {

// ---- Bundles ---------------------------------------------------------------

// A bundle folder laid out as on the platform: <path>/Contents/Info.plist,
// <path>/Contents/MacOS/<executable>, <path>/Contents/Resources/.
struct BundleDescription {
  std::string identifier;                  // CFBundleIdentifier
  std::string path;                        // the bundle folder
  std::string executableName;              // CFBundleExecutable; empty: none
  std::map<std::string, std::string> info; // further Info.plist strings (CFBundleVersion, CFBundleName, ...)
};

// Registers a bundle (replacing one with the same identifier) and returns it.
// Bundles live for the whole process, as loaded bundles do.
CFBundleRef RegisterBundle(const BundleDescription& bundle);
// Registers the bundle at path from the string values of its Contents/Info.plist
// (top-level <key>/<string> pairs). NULL when the file is missing or has no identifier.
CFBundleRef RegisterBundleAtPath(const std::string& path);
// The host process's own bundle; an empty identifier leaves the process without one.
CFBundleRef SetMainBundle(const BundleDescription& bundle);
void ClearBundles();

// ---- User folders ----------------------------------------------------------

// The user's home folder for NSHomeDirectory and the user-domain searches.
// With createStandardFolders the usual account folders are made under it
// (Library/Application Support, Library/Caches, Music, Desktop, Documents, ...).
void SetUserHome(const std::string& path, bool createStandardFolders = true);
std::string UserHome();
// Root under which the local and system domains live ("" means "/").
void SetSystemRoot(const std::string& path);

// ---- Main run loop and clock -----------------------------------------------

// Fires every timer due now (within a microsecond), once each, in due order;
// returns how many fired.
int PumpMainRunLoop();
// Lets virtual time pass: timers fire at their due times within
// [now, now + seconds) and the clock ends at now + seconds. Returns fires.
int RunMainRunLoopFor(double seconds);
// Moves the clock without firing anything.
void AdvanceClock(double seconds);
CFAbsoluteTime CurrentClock();

// ---- Audio units -------------------------------------------------------------

// Gives a plug-in interface (from a factory) an instance handle; the host then
// calls Open(self, handle) itself. AudioUnitGetProperty, AudioUnitRender and
// the other AudioUnit calls on the handle go through the interface's Lookup.
AudioComponentInstance NewInstanceForPlugInInterface(AudioComponentPlugInInterface* plugin);
// An instance handle for a Component Manager entry point; the host sends the
// open selector itself. AudioUnit calls on it go through the entry with a
// parameter block (64-bit layout: the instance, then the arguments in order,
// one long slot each).
ComponentInstance NewInstanceForComponentEntry(ComponentRoutineProcPtr entry);
// Forgets the handle (after the host sent Close / the close selector).
void DisposeInstance(ComponentInstance instance);

// Called for every AUEventListenerNotify, on the notifying thread.
void SetAUEventHandler(std::function<void(const AudioUnitEvent&)> handler);

// ---- Operating system --------------------------------------------------------

// The version Gestalt reports (10.15.7 until set).
void SetSystemVersion(int major, int minor, int bugFix);

} // namespace standin
#pragma GCC visibility pop
