#include "SpectrumMatch.h"

#include <standin/Testing.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>

#include "AUFileProcessor.h"
#include "AUHostUnit.h"
#include "AlignedRender.h"
#include "ClipAdvice.h"
#include "EditorSession.h"
#include "AudioInput.h"
#include "AudioOutput.h"
#include "HostParameters.h"
#include "InterruptCleanup.h"
#include "LongTermSpectrum.h"
#include "ReferenceFile.h"
#include "StagedFile.h"
#include "Wording.h"

namespace host {

namespace {

// Output after the reference change fades in over a quarter second: this
// much silence plays first, its output dropped, so the file starts whole.
constexpr double kPreRollSeconds = 0.3;
// The filter's answer to the file's start out of silence is left out of
// the spectrum's measure: it is measured from this far in.
constexpr double kSettleSeconds = 0.5;
// The plug-in's analyser needs one whole frame of this many samples to take
// a fingerprint; a capture under a few seconds gives an unsteady one.
constexpr long long kAnalysisFrame = 16384;
constexpr double kShortCaptureSeconds = 3.0;
// "Reference mode" of the custom reference, and where the editor's buttons
// are at 100 %: the reference file's load button, the filter button.
constexpr int kCustomReference = 4;
constexpr double kLoadReferenceAt[2] = {264, 384};
constexpr double kFilterButtonAt[2] = {250, 193};
// The title of the alert that ends the plug-in's reading of a recording
// when it went well; any other title is its reason for refusing the file.
constexpr const char* kImportSucceeded = "Success!";

std::string Status(OSStatus s) { return " (status " + std::to_string(s) + ")"; }

__attribute__((format(printf, 2, 3))) void Append(std::string& text, const char* format, ...)
{
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof(line), format, args);
  va_end(args);
  text += line;
}

std::string Seconds(double s)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f s", s);
  return text;
}

// The job's steps, in the order Run takes them; each returns empty or the
// error that ends the job (the output file then never appears).
class MatchJob {
public:
  MatchJob(const AUBundle& bundle, const MatchOptions& options, MatchReport& report)
  : mOptions(options), mReport(report), mUnit(bundle), mBlock(std::clamp(options.mBlockSize, 1u, 4096u))
  {
  }

  std::string Run()
  {
    for (auto step : {&MatchJob::CheckRequest, &MatchJob::OpenFiles, &MatchJob::PrepareUnit, &MatchJob::UseEditor,
                      &MatchJob::Capture, &MatchJob::StartProcessing, &MatchJob::Process, &MatchJob::Finish})
      if (std::string e = (this->*step)(); !e.empty())
        return e;
    return "";
  }

private:
  std::string CheckRequest()
  {
    if (mOptions.mReference < 0 || mOptions.mReference > 3)
      return "the reference must be one of the built-in ones, 0 to 3";
    if (mOptions.mOutPath.empty())
      return "name an output file";
    const std::string& ref = mOptions.mReferenceFile;
    if (!ref.empty())
      if (std::string e = CheckReferencePath(ref); !e.empty())
        return e;
    for (const std::string* input : {&mOptions.mInPath, &mOptions.mCapturePath, &ref})
      if (!input->empty() && SameFile(*input, mOptions.mOutPath))
        return OutputIsInputError(mOptions.mOutPath);
    // The picture is an output too: checked as the audio is, before any plays.
    const std::string& png = mOptions.mEditorPng;
    if (png.empty())
      return "";
    for (const std::string* input : {&mOptions.mInPath, &mOptions.mCapturePath, &ref})
      if (!input->empty() && SameFile(*input, png))
        return "the editor picture must not be an input file; choose another name for " + png;
    if (SameFile(mOptions.mOutPath, png))
      return "the editor picture must not be the audio output; choose another name for " + png;
    return CheckOutputTarget(png);
  }

  std::string OpenFiles()
  {
    if (std::string e = mInput.Open(mOptions.mInPath); !e.empty())
      return e;
    mCaptureFeed = &mInput;
    if (mOptions.mCapturePath.empty() && !mInput.Seekable())
      return "cannot read " + mOptions.mInPath +
             " twice (it is a pipe or stream, which cannot go back to its start), and match plays it once to "
             "capture and once to process: save it to a file first, or capture from a file with --capture FILE";
    if (!mOptions.mCapturePath.empty()) {
      if (std::string e = mCapture.Open(mOptions.mCapturePath); !e.empty())
        return e;
      if (mCapture.Info().samplerate != mInput.Info().samplerate)
        return "the capture file runs at " + std::to_string(mCapture.Info().samplerate) + " Hz and the input at " +
               std::to_string(mInput.Info().samplerate) + " Hz; give both at one rate";
      mCaptureFeed = &mCapture;
    }
    mRate = mInput.Info().samplerate;
    mReport.mSampleRate = mRate;
    mReport.mChannels = mInput.Info().channels;
    mReport.mFrames = mInput.Frames();
    mReport.mCaptureFrames = mCaptureFeed->Frames();
    if (mReport.mCaptureFrames < kAnalysisFrame)
      return "the capture (" + mCaptureFeed->Path() + ") is " + Seconds(double(mReport.mCaptureFrames) / mRate) +
             " long; the plug-in needs at least " + std::to_string(kAnalysisFrame) + " samples (" +
             Seconds(kAnalysisFrame / mRate) + ") to take a fingerprint";
    if (std::string e = OutputFormatFor(mOptions.mOutPath, mInput.Info().format, mFormat); !e.empty())
      return e;
    return CheckOutputTarget(mOptions.mOutPath);
  }

  std::string PrepareUnit()
  {
    if (OSStatus s = mUnit.Open(); s != noErr)
      return "the plug-in did not open" + Status(s);
    if (OSStatus s = mUnit.SetFormat(2, mRate); s != noErr)
      return "the plug-in refused " + std::to_string(int(mRate)) + " Hz stereo" + Status(s);
    if (OSStatus s = mUnit.SetMaxFrames(mBlock); s != noErr)
      return "the plug-in refused blocks of " + std::to_string(mBlock) + " frames" + Status(s);
    if (std::string e = SetHostParameters(mUnit, mOptions.mParams, true); !e.empty())
      return e;
    if (OSStatus s = mUnit.ConnectInput([this](double, UInt32 n, float* const* ch, int nch) { Feed(n, ch, nch); });
        s != noErr)
      return "the plug-in refused the input" + Status(s);
    if (OSStatus s = AudioUnitInitialize(mUnit.Unit()); s != noErr)
      return "the plug-in did not initialize" + Status(s);
    // As a host does before playback: the unit sets itself up for the rate
    // and block size it was given.
    if (OSStatus s = AudioUnitReset(mUnit.Unit(), kAudioUnitScope_Global, 0); s != noErr)
      return "the plug-in did not reset" + Status(s);
    return "";
  }

  bool UsesEditor() const
  {
    return !mOptions.mReferenceFile.empty() || mOptions.mLinearPhase || !mOptions.mEditorPng.empty();
  }

  // What only the editor offers, done there as a user does before playing:
  // the reference file button with the file dialog's answer, the filter
  // button.
  std::string UseEditor()
  {
    if (!UsesEditor())
      return "";
    mEditor.emplace(mUnit, mEditorReport);
    if (std::string e = mEditor->Open(1.f); !e.empty())
      return e;
    if (!mOptions.mReferenceFile.empty())
      if (std::string e = LoadReference(); !e.empty())
        return e;
    if (mOptions.mLinearPhase) {
      if (std::string e = Click(kFilterButtonAt); !e.empty())
        return e;
    }
    return "";
  }

  // The plug-in's verdict on the file comes from its alerts; what it takes
  // without a word is checked by the host after.
  std::string LoadReference()
  {
    const std::string& path = mOptions.mReferenceFile;
    const size_t panels = standin::ShownPanels().size(), alerts = standin::ShownAlerts().size();
    EditorAction a;
    ParseEditorAction("file " + path, a);
    if (std::string e = mEditor->Do(a); !e.empty())
      return e;
    if (std::string e = Click(kLoadReferenceAt); !e.empty())
      return e;
    // The plug-in reads the file one idle tick later.
    ParseEditorAction("wait 0.1", a);
    if (std::string e = mEditor->Do(a); !e.empty())
      return e;
    if (standin::ShownPanels().size() == panels)
      return ReferenceRefusal(path, "the editor's reference file button showed no file dialog");
    bool read = false;
    const std::vector<standin::ShownAlert> shown = standin::ShownAlerts();
    for (size_t i = alerts; i < shown.size(); ++i) {
      if (shown[i].title == kImportSucceeded) {
        read = true;
        continue;
      }
      std::string why = "the plug-in refused it (its alert: \"" + shown[i].title + "\")";
      if (const std::string words = ReferenceReaderWords(path); !words.empty())
        why += ": " + words;
      return ReferenceRefusal(path, why);
    }
    if (IsReferenceRecording(path) && !read)
      return ReferenceRefusal(path, "the plug-in did not report reading it");
    return CheckReferenceContent(path);
  }

  // Capture: the audio passes through while the plug-in takes its fingerprint.
  std::string Capture()
  {
    if (OSStatus s = mUnit.SetParameter(kParamActivityState, kActivityCapture); s != noErr)
      return "the plug-in refused to capture" + Status(s);
    mFeed = mCaptureFeed;
    if (std::string e = mCaptureFeed->Rewind(); !e.empty())
      return e;
    std::vector<float> left(mBlock), right(mBlock);
    float* out[2] = {left.data(), right.data()};
    int shown = -1;
    for (long long done = 0; done < mReport.mCaptureFrames;) {
      const UInt32 n = UInt32(std::min<long long>(mBlock, mReport.mCaptureFrames - done));
      if (OSStatus s = mUnit.Render(mSampleTime, n, out, 2); s != noErr)
        return "render failed while capturing at frame " + std::to_string(done) + Status(s);
      mSampleTime += n;
      standin::PumpMainRunLoop();
      if (std::string e = mCaptureFeed->ReadError(); !e.empty())
        return e;
      done += n;
      const int percent = int(100 * done / mReport.mCaptureFrames);
      if (mOptions.mProgress && percent != shown) {
        mOptions.mProgress("capture", double(done) / double(mReport.mCaptureFrames));
        shown = percent;
      }
    }
    if (mCaptureFeed->Peak() == 0.f)
      return "the capture (" + mCaptureFeed->Path() +
             ") is silent; the plug-in cannot take a fingerprint of "
             "silence: capture from a file with the material to be matched";
    if (double(mReport.mCaptureFrames) < kShortCaptureSeconds * mRate)
      mReport.mNotes.push_back("warning: the capture is only " + Seconds(double(mReport.mCaptureFrames) / mRate) +
                               " long; a fingerprint from a few seconds or more of the material is steadier");
    return "";
  }

  // Processing against the reference: the capture ends and the filter is built.
  // A click where a button of the editor at 100 % is at the view's scale.
  std::string Click(const double (&at)[2])
  {
    const double scale = mEditor->ViewScale();
    EditorAction a;
    a.verb = "click";
    a.words = {std::to_string(at[0] * scale), std::to_string(at[1] * scale)};
    return mEditor->Do(a);
  }

  std::string StartProcessing()
  {
    const int reference = mOptions.mReferenceFile.empty() ? mOptions.mReference : kCustomReference;
    if (OSStatus s = mUnit.SetParameter(kParamReferenceMode, float(reference)); s != noErr)
      return "the plug-in refused reference " + std::to_string(reference) + Status(s);
    if (OSStatus s = mUnit.SetParameter(kParamActivityState, kActivityProcessing); s != noErr)
      return "the plug-in refused to process" + Status(s);
    standin::PumpMainRunLoop();
    if (std::string e = PreRoll(); !e.empty())
      return e;
    mFeed = &mInput;
    if (std::string e = mInput.Rewind(); !e.empty())
      return e;
    mInSpectrum.emplace(mRate);
    mOutSpectrum.emplace(mRate);
    mMeasuring = true;
    mMeasureFrom = std::min<long long>(mReport.mFrames / 2, (long long)(kSettleSeconds * mRate));
    return mOutput.Open(mOptions.mOutPath, mFormat, int(mRate));
  }

  // Silence through the unit until its fade-in is over; the output goes.
  std::string PreRoll()
  {
    mFeed = nullptr;
    std::vector<float> left(mBlock), right(mBlock);
    float* out[2] = {left.data(), right.data()};
    const long long frames = (long long)std::ceil(kPreRollSeconds * mRate);
    for (long long done = 0; done < frames;) {
      const UInt32 n = UInt32(std::min<long long>(mBlock, frames - done));
      if (OSStatus s = mUnit.Render(mSampleTime, n, out, 2); s != noErr)
        return "render failed before processing" + Status(s);
      mSampleTime += n;
      done += n;
      standin::PumpMainRunLoop();
    }
    return "";
  }

  std::string Process()
  {
    AlignedRender render(mUnit, mBlock);
    std::vector<float> mono(mBlock);
    auto sink = [&](const float* l, const float* r, size_t n, long long first) -> std::string {
      // The fade-in is left out of the measure.
      const size_t from = size_t(std::clamp<long long>(mMeasureFrom - first, 0, (long long)n));
      for (size_t i = from; i < n; ++i)
        mono[i - from] = 0.5f * (l[i] + r[i]);
      mOutSpectrum->Add(mono.data(), n - from);
      return mOutput.Write(l, r, n);
    };
    auto progress = [this](double f) {
      if (mOptions.mProgress)
        mOptions.mProgress("processing", f);
    };
    const std::string error =
      render.Run(mReport.mFrames, mSampleTime, sink, progress, [this] { return mInput.ReadError(); });
    if (!error.empty())
      return error;
    mReport.mLatency = render.Stats().mLatency;
    mReport.mPeak = render.Stats().mPeak;
    // The editor as the match left it, before the clipping is measured again.
    if (mEditor && !mOptions.mEditorPng.empty()) {
      EditorAction wait;
      ParseEditorAction("wait 0.1", wait);
      mEditor->Do(wait);
      if (std::string e = mEditor->Picture(mOptions.mEditorPng, &mPicture); !e.empty())
        return e;
    }
    const Replay replay = [this](double scale) {
      mMeasuring = false;
      mFeed = nullptr;
      if (std::string e = ClearUnit(mUnit, mBlock, mRate, mSampleTime); !e.empty())
        return e;
      mFeed = &mInput;
      if (std::string e = mInput.Rewind(); !e.empty())
        return e;
      mFeedScale = scale;
      AlignedRender again(mUnit, mBlock);
      const std::string e =
        again.Run(mReport.mFrames, mSampleTime, DropOutput, {}, [this] { return mInput.ReadError(); });
      mFeedScale = 1.0;
      return e;
    };
    const ClipReport clips = AssessClipping(mUnit, render.Stats(), IntegerFullScale(mFormat) == 0.0, replay);
    mReport.mClippedSamples = clips.mClipped;
    if (!clips.mNote.empty())
      mReport.mNotes.push_back(clips.mNote);
    AudioUnitUninitialize(mUnit.Unit());
    mReport.mWrittenFrames = mOutput.FramesWritten();
    // The picture appears with the audio, once both are complete.
    if (std::string e = mOutput.Complete(); !e.empty())
      return e;
    const InterruptsHeld held;
    if (std::string e = mOutput.PutInPlace(); !e.empty())
      return e;
    return mOptions.mEditorPng.empty() ? "" : mPicture.PutInPlace();
  }

  std::string Finish()
  {
    for (double c : OctaveCentres(mRate)) {
      OctaveChange o;
      o.mCentreHz = c;
      o.mInputDB = mInSpectrum->BandLevelDB(c / std::sqrt(2.0), c * std::sqrt(2.0));
      o.mOutputDB = mOutSpectrum->BandLevelDB(c / std::sqrt(2.0), c * std::sqrt(2.0));
      o.mInputSilent = o.mInputDB < mInSpectrum->SilenceDB();
      o.mOutputSilent = o.mOutputDB < mOutSpectrum->SilenceDB();
      mReport.mOctaves.push_back(o);
    }
    if (mReport.mChannels == 1)
      mReport.mNotes.push_back(MonoNote(mOptions.mInPath, mOptions.mOutPath));
    return "";
  }

  // The render callback: the file in play (silence without one), and in
  // Processing the input's own measure (the part of the input the output is measured over).
  void Feed(UInt32 n, float* const* channels, int nChannels)
  {
    if (!mFeed) {
      for (int c = 0; c < nChannels; ++c)
        std::fill(channels[c], channels[c] + n, 0.f);
      return;
    }
    const long long start = mFeed->Position();
    mFeed->Read(n, channels, nChannels);
    ScaleChannels(channels, nChannels, n, mFeedScale);
    if (!mMeasuring)
      return;
    for (UInt32 t = 0; t < n; ++t) {
      const long long pos = start + t;
      if (pos >= mMeasureFrom && pos < mReport.mFrames) {
        const float m = nChannels > 1 ? 0.5f * (channels[0][t] + channels[1][t]) : channels[0][t];
        mInSpectrum->Add(&m, 1);
      }
    }
  }

  const MatchOptions& mOptions;
  MatchReport& mReport;
  AUHostUnit mUnit;
  const unsigned mBlock;
  AudioInput mInput, mCapture;
  AudioInput* mCaptureFeed = nullptr;
  AudioInput* mFeed = nullptr;
  AudioOutput mOutput;
  StagedFile mPicture;
  int mFormat = 0;
  double mRate = 0.0;
  double mSampleTime = 0.0; // the host's timeline runs on through both passes
  double mFeedScale = 1.0;  // below 1 only while clipping is measured again
  long long mMeasureFrom = 0;
  bool mMeasuring = false;
  std::optional<LongTermSpectrum> mInSpectrum, mOutSpectrum;
  // Last: the editor closes before the unit.
  EditorReport mEditorReport;
  std::optional<EditorWindow> mEditor;
};

} // namespace

std::string RunSpectrumMatch(const AUBundle& bundle, const MatchOptions& options, MatchReport& report)
{
  report = MatchReport();
  MatchJob job(bundle, options, report);
  return job.Run();
}

std::string FormatMatchReport(const MatchOptions& options, const MatchReport& report)
{
  std::string text;
  Append(text, "input:      %s (%.0f Hz, %d channel%s, %.2f s)\n", options.mInPath.c_str(), report.mSampleRate,
         report.mChannels, report.mChannels == 1 ? "" : "s", double(report.mFrames) / report.mSampleRate);
  Append(text, "capture:    %.2f s of %s played in Capture\n", double(report.mCaptureFrames) / report.mSampleRate,
         options.mCapturePath.empty() ? "the input" : options.mCapturePath.c_str());
  if (options.mReferenceFile.empty())
    Append(text, "processing: against built-in reference %d%s\n", options.mReference,
           options.mLinearPhase ? ", linear phase" : "");
  else
    Append(text, "processing: against the reference of %s%s\n", options.mReferenceFile.c_str(),
           options.mLinearPhase ? ", linear phase" : "");
  if (!options.mEditorPng.empty())
    Append(text, "editor:     %s\n", options.mEditorPng.c_str());
  Append(text, "latency:    %s (%.1f ms)\n", CountOf(report.mLatency, "sample").c_str(),
         1000.0 * report.mLatency / report.mSampleRate);
  const double peakDB = report.mPeak > 0.0 ? 20.0 * std::log10(report.mPeak) : -144.0;
  if (report.mClippedSamples)
    Append(text, "peak:       %.2f dBFS at the output, %s at full scale (clipped)\n", peakDB,
           CountOf(report.mClippedSamples, "sample").c_str());
  else
    Append(text, "peak:       %.2f dBFS at the output\n", peakDB);
  Append(text, "wrote:      %s (%s)\n", options.mOutPath.c_str(), CountOf(report.mWrittenFrames, "frame").c_str());
  Append(text, "long-term spectrum per octave, measured by the host (output - input):\n");
  for (const OctaveChange& o : report.mOctaves) {
    if (!std::isfinite(o.mInputDB) || !std::isfinite(o.mOutputDB))
      Append(text, "  %7.0f Hz  (too short to measure)\n", o.mCentreHz);
    else if (o.mInputSilent)
      Append(text, "  %7.0f Hz  (no signal in the input)\n", o.mCentreHz);
    else if (o.mOutputSilent)
      Append(text, "  %7.0f Hz  (no signal left in the output)\n", o.mCentreHz);
    else
      Append(text, "  %7.0f Hz  %+6.1f dB\n", o.mCentreHz, o.Change());
  }
  return text;
}

} // namespace host
