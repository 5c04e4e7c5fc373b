#pragma once
// A loaded Audio Unit bundle: its Info.plist component description, the
// module opened with dlopen and its two exported doors. The bundle is also
// entered in the platform's bundle registry, so the unit finds itself by
// identifier. Host main thread. Close every unit before the bundle goes.

#include <AudioUnit/AudioUnit.h>

#include <string>

namespace host {

using EntryFunc = OSStatus (*)(ComponentParameters* params, void* storage);

class AUBundle {
public:
  AUBundle() = default;
  ~AUBundle();
  AUBundle(const AUBundle&) = delete;
  AUBundle& operator=(const AUBundle&) = delete;

  // Loads the bundle folder; false with Error() saying what failed.
  bool Load(const std::string& bundlePath);
  void Unload();

  const std::string& Error() const { return mError; }
  const std::string& Path() const { return mPath; }
  const std::string& Identifier() const { return mIdentifier; }
  const AudioComponentDescription& Description() const { return mDescription; }
  UInt32 Version() const { return mVersion; }
  AudioComponentFactoryFunction Factory() const { return mFactory; }
  EntryFunc Entry() const { return mEntry; }

private:
  std::string mError;
  std::string mPath;
  std::string mIdentifier;
  AudioComponentDescription mDescription{};
  UInt32 mVersion = 0;
  void* mHandle = nullptr;
  AudioComponentFactoryFunction mFactory = nullptr;
  EntryFunc mEntry = nullptr;
};

// Default bundle: the one built next to this program.
std::string DefaultBundlePath();

} // namespace host
