#pragma once
// The plug-in's main job, run as a user runs it in a host: play the capture
// file through the unit in "Capture", switch to "Processing" against a
// built-in reference (which finishes the capture and builds the filter),
// play the input through it and write the result. The host measures the
// long-term spectrum of input and output itself and reports how each
// octave moved, together with the latency, the output peak and how many
// samples reached full scale. The output appears only when the job
// succeeds. Host main thread.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AUBundle.h"

namespace host {

struct MatchOptions {
  std::string mInPath;
  std::string mOutPath;
  std::string mCapturePath; // empty: capture the input itself
  int mReference = 2;       // built-in reference 0..3
  // A custom reference (.ref, WAV or AIFF) chosen in the editor's reference
  // file dialog instead of the built-in one; empty: none.
  std::string mReferenceFile;
  bool mLinearPhase = false;                       // the editor's filter button set to "Digital"
  std::string mEditorPng;                          // a picture of the editor after the match
  std::vector<std::pair<unsigned, float>> mParams; // set before capturing
  unsigned mBlockSize = 512;
  std::function<void(const char* phase, double fraction)> mProgress;
};

struct OctaveChange {
  double mCentreHz = 0.0;
  double mInputDB = 0.0;
  double mOutputDB = 0.0;
  bool mInputSilent = false; // no signal in the band: no change to report
  bool mOutputSilent = false;
  double Change() const { return mOutputDB - mInputDB; }
};

struct MatchReport {
  double mSampleRate = 0.0;
  int mChannels = 0;
  long long mFrames = 0;        // of the input
  long long mWrittenFrames = 0; // to the output
  long long mCaptureFrames = 0;
  int mLatency = 0;
  double mPeak = 0.0;            // largest output sample magnitude
  long long mClippedSamples = 0; // limited by the plug-in
  std::vector<OctaveChange> mOctaves;
  std::vector<std::string> mNotes; // warnings and notes, one line each
};

// Empty on success, else what failed and what to do.
std::string RunSpectrumMatch(const AUBundle& bundle, const MatchOptions& options, MatchReport& report);

// The report as the tool prints it.
std::string FormatMatchReport(const MatchOptions& options, const MatchReport& report);

} // namespace host
