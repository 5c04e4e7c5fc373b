// The AudioUnit and MusicDevice calls: each goes through the unit's own
// method table, as on the platform, so a host and a plug-in reach another
// unit only through what that unit exports.
#include "ComponentInstance.h"

using standin::au::Dispatch;

OSStatus AudioUnitInitialize(AudioUnit inUnit)
{
  return Dispatch<AudioUnitInitializeProc>(inUnit, kAudioUnitInitializeSelect);
}

OSStatus AudioUnitUninitialize(AudioUnit inUnit)
{
  return Dispatch<AudioUnitUninitializeProc>(inUnit, kAudioUnitUninitializeSelect);
}

OSStatus AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                  AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable)
{
  return Dispatch<AudioUnitGetPropertyInfoProc>(inUnit, kAudioUnitGetPropertyInfoSelect, inID, inScope, inElement,
                                                outDataSize, outWritable);
}

OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, void* outData, UInt32* ioDataSize)
{
  return Dispatch<AudioUnitGetPropertyProc>(inUnit, kAudioUnitGetPropertySelect, inID, inScope, inElement, outData,
                                            ioDataSize);
}

OSStatus AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, const void* inData, UInt32 inDataSize)
{
  return Dispatch<AudioUnitSetPropertyProc>(inUnit, kAudioUnitSetPropertySelect, inID, inScope, inElement, inData,
                                            inDataSize);
}

OSStatus AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitPropertyListenerProc inProc,
                                      void* inProcUserData)
{
  return Dispatch<AudioUnitAddPropertyListenerProc>(inUnit, kAudioUnitAddPropertyListenerSelect, inID, inProc,
                                                    inProcUserData);
}

OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                     AudioUnitPropertyListenerProc inProc, void* inProcUserData)
{
  return Dispatch<AudioUnitRemovePropertyListenerWithUserDataProc>(
    inUnit, kAudioUnitRemovePropertyListenerWithUserDataSelect, inID, inProc, inProcUserData);
}

OSStatus AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData)
{
  return Dispatch<AudioUnitAddRenderNotifyProc>(inUnit, kAudioUnitAddRenderNotifySelect, inProc, inProcUserData);
}

OSStatus AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData)
{
  return Dispatch<AudioUnitRemoveRenderNotifyProc>(inUnit, kAudioUnitRemoveRenderNotifySelect, inProc, inProcUserData);
}

OSStatus AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue* outValue)
{
  return Dispatch<AudioUnitGetParameterProc>(inUnit, kAudioUnitGetParameterSelect, inID, inScope, inElement, outValue);
}

OSStatus AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue inValue,
                               UInt32 inBufferOffsetInFrames)
{
  return Dispatch<AudioUnitSetParameterProc>(inUnit, kAudioUnitSetParameterSelect, inID, inScope, inElement, inValue,
                                             inBufferOffsetInFrames);
}

OSStatus AudioUnitScheduleParameters(AudioUnit inUnit, const AudioUnitParameterEvent* inParameterEvent,
                                     UInt32 inNumParamEvents)
{
  return Dispatch<AudioUnitScheduleParametersProc>(inUnit, kAudioUnitScheduleParametersSelect, inParameterEvent,
                                                   inNumParamEvents);
}

OSStatus AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp* inTimeStamp,
                         UInt32 inOutputBusNumber, UInt32 inNumberFrames, AudioBufferList* ioData)
{
  return Dispatch<AudioUnitRenderProc>(inUnit, kAudioUnitRenderSelect, ioActionFlags, inTimeStamp, inOutputBusNumber,
                                       inNumberFrames, ioData);
}

OSStatus AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope, AudioUnitElement inElement)
{
  return Dispatch<AudioUnitResetProc>(inUnit, kAudioUnitResetSelect, inScope, inElement);
}

OSStatus MusicDeviceMIDIEvent(AudioUnit inUnit, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                              UInt32 inOffsetSampleFrame)
{
  return Dispatch<MusicDeviceMIDIEventProc>(inUnit, kMusicDeviceMIDIEventSelect, inStatus, inData1, inData2,
                                            inOffsetSampleFrame);
}

OSStatus MusicDeviceSysEx(AudioUnit inUnit, const UInt8* inData, UInt32 inLength)
{
  return Dispatch<MusicDeviceSysExProc>(inUnit, kMusicDeviceSysExSelect, inData, inLength);
}

OSStatus MusicDeviceStartNote(AudioUnit inUnit, MusicDeviceInstrumentID inInstrument, MusicDeviceGroupID inGroupID,
                              NoteInstanceID* outNoteInstanceID, UInt32 inOffsetSampleFrame,
                              const MusicDeviceNoteParams* inParams)
{
  using Proc = OSStatus (*)(void*, MusicDeviceInstrumentID, MusicDeviceGroupID, NoteInstanceID*, UInt32,
                            const MusicDeviceNoteParams*);
  return Dispatch<Proc>(inUnit, kMusicDeviceStartNoteSelect, inInstrument, inGroupID, outNoteInstanceID,
                        inOffsetSampleFrame, inParams);
}

OSStatus MusicDeviceStopNote(AudioUnit inUnit, MusicDeviceGroupID inGroupID, NoteInstanceID inNoteInstanceID,
                             UInt32 inOffsetSampleFrame)
{
  using Proc = OSStatus (*)(void*, MusicDeviceGroupID, NoteInstanceID, UInt32);
  return Dispatch<Proc>(inUnit, kMusicDeviceStopNoteSelect, inGroupID, inNoteInstanceID, inOffsetSampleFrame);
}
