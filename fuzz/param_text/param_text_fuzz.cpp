// Parameter text from outside, through the host's door: the first byte picks
// the parameter, the rest is the text (UTF-8). The value the plug-in reads
// from any text, set back through the host's set-parameter call, leaves the
// parameter finite and in range; text the plug-in writes reads back as the
// value it shows.
#include <AudioUnit/AudioUnit.h>

#include <cstring>

#include "FuzzPlug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0 || size > 4096)
    return 0;
  static Vorelle3& plug = fuzzsupport::Plug();
  static fuzzsupport::Baseline baseline(plug);
  baseline.Restore();

  const AudioUnitParameterID id = data[0] % unsigned(plug.NParams());
  CFStringRef text =
    CFStringCreateWithBytes(kCFAllocatorDefault, data + 1, CFIndex(size - 1), kCFStringEncodingUTF8, false);
  if (!text)
    return 0;
  AudioUnitParameterValueFromString request{id, text, 0.0f};
  UInt32 replySize = sizeof(request);
  Boolean writable = false;
  const OSStatus status = plug.GetProperty(kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0,
                                           &replySize, &writable, &request);
  CFRelease(text);
  if (status == noErr) {
    plug.SetParameter(id, kAudioUnitScope_Global, 0, request.outValue, 0);
    fuzzsupport::CheckParams(plug);
  }

  // What the plug-in shows for the value it now holds reads back as that value.
  const plugin::IParam* param = plug.GetParam(int(id));
  plugin::UT_String shown;
  param->GetDisplay(shown);
  const double back = param->StringToValue(shown.Get());
  plugin::UT_String shownAgain;
  param->GetDisplay(back, false, shownAgain);
  // A value that rounds to zero from below shows as "-0.0" and reads back as
  // zero, which shows as "0.0": the same number.
  const char* a = shown.Get();
  const char* b = shownAgain.Get();
  const bool negativeZero = a[0] == '-' && std::strcmp(a + 1, b) == 0 && std::strspn(b, "0.") == std::strlen(b);
  if (std::strcmp(a, b) != 0 && !negativeZero)
    fuzzsupport::Fail("shown text does not read back", int(id));
  return 0;
}
