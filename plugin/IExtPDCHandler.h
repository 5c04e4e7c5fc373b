#pragma once
// Hands the plug-in's latency to the host: holds the value last handed over
// (0 at construction). Audio thread (from the block or reset) or main thread
// (idle loop).
class Vorelle3;

class IExtPDCHandler {
public:
  // When the host is identified, reports latency through the plug-in's
  // SetLatency (host latency listeners, the processor's own value). Stores
  // nothing itself.
  static void UpdateLatency(Vorelle3& plugin, int latency);

protected:
  int mLatency = 0;
};
