// Audio components: descriptions, the plug-in interface a factory returns,
// registration and instances.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/Components.h>

struct AudioComponentDescription {
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
};
typedef struct AudioComponentDescription AudioComponentDescription;

typedef struct OpaqueAudioComponent* AudioComponent;
typedef struct ComponentInstanceRecord* AudioComponentInstance;

typedef OSStatus (*AudioComponentMethod)(void* self, ...);

// The head of every instance a factory returns; the host calls these.
struct AudioComponentPlugInInterface {
  OSStatus (*Open)(void* self, AudioComponentInstance mInstance);
  OSStatus (*Close)(void* self);
  AudioComponentMethod (*Lookup)(SInt16 selector);
  void* reserved;
};
typedef struct AudioComponentPlugInInterface AudioComponentPlugInInterface;

typedef AudioComponentPlugInInterface* (*AudioComponentFactoryFunction)(const AudioComponentDescription* inDesc);

enum { kAudioComponentFlag_Unsearchable = 1, kAudioComponentFlag_SandboxSafe = 2 };

// Zero fields of inDesc match anything.
CS_EXPORT AudioComponent AudioComponentFindNext(AudioComponent inComponent, const AudioComponentDescription* inDesc);
CS_EXPORT UInt32 AudioComponentCount(const AudioComponentDescription* inDesc);
CS_EXPORT OSStatus AudioComponentCopyName(AudioComponent inComponent, CFStringRef* outName);
CS_EXPORT OSStatus AudioComponentGetDescription(AudioComponent inComponent, AudioComponentDescription* outDesc);
CS_EXPORT OSStatus AudioComponentGetVersion(AudioComponent inComponent, UInt32* outVersion);
// Calls the factory, then Open; a failed Open closes the interface again.
CS_EXPORT OSStatus AudioComponentInstanceNew(AudioComponent inComponent, AudioComponentInstance* outInstance);
// Calls Close and forgets the handle.
CS_EXPORT OSStatus AudioComponentInstanceDispose(AudioComponentInstance inInstance);
CS_EXPORT AudioComponent AudioComponentInstanceGetComponent(AudioComponentInstance inInstance);
CS_EXPORT AudioComponent AudioComponentRegister(const AudioComponentDescription* inDesc, CFStringRef inName,
                                                UInt32 inVersion, AudioComponentFactoryFunction inFactory);
