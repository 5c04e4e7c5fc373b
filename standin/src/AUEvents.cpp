#include <CoreServices/MacErrors.h>
#include <standin/Testing.h>

#include <mutex>
#include <utility>

namespace {

struct EventRecord {
  std::mutex mutex;
  std::vector<AudioUnitEvent> events;
  std::function<void(const AudioUnitEvent&)> handler;
};

EventRecord& Events()
{
  static EventRecord* r = new EventRecord();
  return *r;
}

void Deliver(const AudioUnitEvent& event)
{
  EventRecord& r = Events();
  std::function<void(const AudioUnitEvent&)> handler;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    r.events.push_back(event);
    handler = r.handler;
  }
  if (handler)
    handler(event); // outside the lock: it may call back into the unit
}

} // namespace

OSStatus AUEventListenerNotify(AUEventListenerRef, void*, const AudioUnitEvent* inEvent)
{
  if (!inEvent)
    return paramErr;
  Deliver(*inEvent);
  return noErr;
}

OSStatus AUParameterListenerNotify(AUParameterListenerRef, void*, const AudioUnitParameter* inParameter)
{
  if (!inParameter)
    return paramErr;
  AudioUnitEvent event{};
  event.mEventType = kAudioUnitEvent_ParameterValueChange;
  event.mArgument.mParameter = *inParameter;
  Deliver(event);
  return noErr;
}

namespace standin {

void SetAUEventHandler(std::function<void(const AudioUnitEvent&)> handler)
{
  EventRecord& r = Events();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.handler = std::move(handler);
}

std::vector<AudioUnitEvent> RecordedAUEvents()
{
  EventRecord& r = Events();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.events;
}

void ClearRecordedAUEvents()
{
  EventRecord& r = Events();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.events.clear();
}

} // namespace standin
