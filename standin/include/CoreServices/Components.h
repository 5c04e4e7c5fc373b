// Component Manager: instance handles, their per-instance storage, the
// parameter block every selector arrives in, and the standard selectors.
#pragma once

#include <MacTypes.h>

#ifdef __cplusplus
#define CS_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define CS_EXPORT extern __attribute__((visibility("default")))
#endif

struct ComponentInstanceRecord;
typedef struct ComponentInstanceRecord* ComponentInstance;
struct ComponentRecord;
typedef struct ComponentRecord* Component;
typedef SInt32 ComponentResult;

// One selector call, as laid out for 64-bit processes (LP64): a 4-byte
// header (flags, paramSize, what), 4 bytes of padding so that params[] is
// 8-byte aligned, then one 8-byte long slot per value: params[0] holds the
// instance the call is for, params[1] the first argument, params[2] the
// second, ... in the order of the call's signature. A narrower argument sits
// at the start (lowest address) of its slot. paramSize counts the argument
// slots only, not the instance: arguments x sizeof(long). (32-bit processes
// used another layout: no padding, arguments last-first, instance last.)
struct ComponentParameters {
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
#if defined(__LP64__)
  UInt32 padding;
#endif
  long params[1];
};
typedef struct ComponentParameters ComponentParameters;

typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* cp, Handle componentStorage);
typedef ComponentRoutineProcPtr ComponentRoutineUPP;

enum {
  kComponentOpenSelect = -1,
  kComponentCloseSelect = -2,
  kComponentCanDoSelect = -3,
  kComponentVersionSelect = -4,
  kComponentRegisterSelect = -5,
  kComponentTargetSelect = -6,
  kComponentUnregisterSelect = -7
};

enum {
  invalidComponentID = -3000,
  badComponentInstance = (OSStatus)0x80008001,
  badComponentSelector = (OSStatus)0x80008002
};

CS_EXPORT Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance);
CS_EXPORT void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage);

// The standard selectors sent to an instance's entry point.
CS_EXPORT ComponentResult CallComponentOpen(ComponentInstance ci, ComponentInstance self);
CS_EXPORT ComponentResult CallComponentClose(ComponentInstance ci, ComponentInstance self);
CS_EXPORT ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber);
CS_EXPORT ComponentResult CallComponentVersion(ComponentInstance ci);
