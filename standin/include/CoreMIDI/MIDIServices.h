// MIDI packet lists. Packets are 4-byte packed; each next packet starts at
// the first 4-byte boundary after the previous one's data, so every packet
// header can be read in place. Walk them with MIDIPacketNext.
#pragma once

#include <MacTypes.h>

#ifdef __cplusplus
#define MIDI_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define MIDI_EXPORT extern __attribute__((visibility("default")))
#endif

typedef UInt64 MIDITimeStamp;

#pragma pack(push, 4)
struct MIDIPacket {
  MIDITimeStamp timeStamp;
  UInt16 length;
  Byte data[256];
};
typedef struct MIDIPacket MIDIPacket;

struct MIDIPacketList {
  UInt32 numPackets;
  MIDIPacket packet[1];
};
typedef struct MIDIPacketList MIDIPacketList;
#pragma pack(pop)

static inline MIDIPacket* MIDIPacketNext(const MIDIPacket* pkt)
{
  return (MIDIPacket*)(((uintptr_t)pkt + offsetof(MIDIPacket, data) + pkt->length + 3) & ~(uintptr_t)3);
}

// Empties the list and returns its first packet.
MIDI_EXPORT MIDIPacket* MIDIPacketListInit(MIDIPacketList* pktlist);
// Appends nData bytes as a new packet stamped with time after curPacket;
// NULL when the list (listSize bytes in all) has no room or nData is 0 or
// above 65535. Every call makes its own packet.
MIDI_EXPORT MIDIPacket* MIDIPacketListAdd(MIDIPacketList* pktlist, ByteCount listSize, MIDIPacket* curPacket,
                                          MIDITimeStamp time, ByteCount nData, const Byte* data);
