#include "AUFileProcessor.h"

#include <algorithm>

#include "AUHostUnit.h"
#include "AlignedRender.h"
#include "ClipAdvice.h"
#include "AudioInput.h"
#include "AudioOutput.h"
#include "HostParameters.h"

namespace host {

namespace {

std::string Status(OSStatus s) { return " (status " + std::to_string(s) + ")"; }

} // namespace

std::string OutputIsInputError(const std::string& outPath)
{
  return "the output file must not be an input file; choose another name for " + outPath;
}

std::string MonoNote(const std::string& inPath, const std::string& outPath)
{
  return "note: " + inPath + " is mono; " + outPath +
         " is stereo, with the one channel fed to both inputs of the plug-in";
}

std::string ProcessFile(const AUBundle& bundle, const std::string& inPath, const std::string& outPath,
                        const ProcessOptions& options, ProcessReport* reportOut)
{
  ProcessReport report;
  if (SameFile(inPath, outPath))
    return OutputIsInputError(outPath);
  AudioInput input;
  if (std::string e = input.Open(inPath); !e.empty())
    return e;
  int format = 0;
  if (std::string e = OutputFormatFor(outPath, input.Info().format, format); !e.empty())
    return e;
  if (std::string e = CheckOutputTarget(outPath); !e.empty())
    return e;
  const int rate = input.Info().samplerate;
  const unsigned block = std::clamp(options.mBlockSize, 1u, 4096u);
  report.mInputChannels = input.Info().channels;

  AUHostUnit unit(bundle);
  if (OSStatus s = unit.Open(); s != noErr)
    return "the plug-in did not open" + Status(s);
  if (OSStatus s = unit.SetFormat(2, rate); s != noErr)
    return "the plug-in refused " + std::to_string(rate) + " Hz stereo" + Status(s);
  if (OSStatus s = unit.SetMaxFrames(block); s != noErr)
    return "the plug-in refused blocks of " + std::to_string(block) + " frames" + Status(s);
  if (std::string e = SetHostParameters(unit, options.mParams, false); !e.empty())
    return e;
  double inputScale = 1.0; // below 1 only while clipping is measured again
  unit.ConnectInput([&input, &inputScale](double, UInt32 nFrames, float* const* channels, int nChannels) {
    input.Read(nFrames, channels, nChannels);
    ScaleChannels(channels, nChannels, nFrames, inputScale);
  });
  if (OSStatus s = AudioUnitInitialize(unit.Unit()); s != noErr)
    return "the plug-in did not initialize" + Status(s);
  // As a host does before playback.
  if (OSStatus s = AudioUnitReset(unit.Unit(), kAudioUnitScope_Global, 0); s != noErr)
    return "the plug-in did not reset" + Status(s);

  AudioOutput output;
  if (std::string e = output.Open(outPath, format, rate); !e.empty())
    return e;
  AlignedRender render(unit, block);
  double sampleTime = 0.0;
  const std::string error = render.Run(
    input.Frames(), sampleTime,
    [&output](const float* l, const float* r, size_t n, long long) { return output.Write(l, r, n); }, options.mProgress,
    [&input] { return input.ReadError(); });
  if (!error.empty())
    return error;
  const Replay replay = [&](double scale) {
    inputScale = 0.0;
    if (std::string e = ClearUnit(unit, block, rate, sampleTime); !e.empty())
      return e;
    if (std::string e = input.Rewind(); !e.empty())
      return e;
    inputScale = scale;
    AlignedRender again(unit, block);
    const std::string e = again.Run(input.Frames(), sampleTime, DropOutput, {}, [&input] { return input.ReadError(); });
    inputScale = 1.0;
    return e;
  };
  const ClipReport clips = AssessClipping(unit, render.Stats(), IntegerFullScale(format) == 0.0, replay);
  AudioUnitUninitialize(unit.Unit());
  report.mFrames = output.FramesWritten();
  if (std::string e = output.Commit(); !e.empty())
    return e;

  report.mLatency = render.Stats().mLatency;
  report.mClippedSamples = clips.mClipped;
  report.mPeak = render.Stats().mPeak;
  if (report.mInputChannels == 1)
    report.mNotes.push_back(MonoNote(inPath, outPath));
  if (!clips.mNote.empty())
    report.mNotes.push_back(clips.mNote);
  if (reportOut)
    *reportOut = report;
  return "";
}

} // namespace host
