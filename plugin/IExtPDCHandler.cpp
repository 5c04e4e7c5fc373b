#include "IExtPDCHandler.h"

#include "Vorelle3.h"

void IExtPDCHandler::UpdateLatency(Vorelle3& plugin, int latency)
{
  if (plugin.GetHost() != plugin::kHostUninit)
    plugin.SetLatency(latency);
}
