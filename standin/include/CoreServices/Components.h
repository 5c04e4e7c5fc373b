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

// One selector call. Arguments come last-first, each in one long slot
// (params[0] is the last argument); a narrower argument sits at the start of
// its slot. paramSize is the byte size of the argument slots.
struct ComponentParameters {
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
  UInt32 padding;
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
