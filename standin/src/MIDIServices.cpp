#include <CoreMIDI/MIDIServices.h>

#include <cstring>

MIDIPacket* MIDIPacketListInit(MIDIPacketList* pktlist)
{
  if (!pktlist)
    return nullptr;
  pktlist->numPackets = 0;
  return pktlist->packet;
}

MIDIPacket* MIDIPacketListAdd(MIDIPacketList* pktlist, ByteCount listSize, MIDIPacket* curPacket, MIDITimeStamp time,
                              ByteCount nData, const Byte* data)
{
  if (!pktlist || !curPacket || !data || nData == 0 || nData > 0xFFFF)
    return nullptr;
  MIDIPacket* dest = pktlist->numPackets == 0 ? pktlist->packet : MIDIPacketNext(curPacket);
  auto* base = reinterpret_cast<Byte*>(pktlist);
  auto* at = reinterpret_cast<Byte*>(dest);
  if (at < base || ByteCount(at - base) + offsetof(MIDIPacket, data) + nData > listSize)
    return nullptr;
  dest->timeStamp = time;
  dest->length = UInt16(nData);
  // Data may run past the declared 256 bytes (long SysEx): copy through bytes.
  std::memcpy(at + offsetof(MIDIPacket, data), data, nData);
  ++pktlist->numPackets;
  return dest;
}
