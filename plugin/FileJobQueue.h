#pragma once
// The audio-file job the editor queues (one at a time): it waits one idle
// tick after queueing, so the editor can redraw first, then runs. A job
// queued while another waits replaces it.
//   idle (0) -> queued k -> transient k + 1 -> running k + 2 -> idle
// Main thread only.
#include "UT_String.h"

class FileJobQueue {
public:
  // The queued state of each kind; 0 is no job.
  enum EKind : int { kNone = 0, kConvert = 1, kFingerprint = 4, kReference = 7 };

  void Queue(EKind kind, const char* path);
  // Called once per idle tick: the kind to run now (the job is then marked
  // running), or kNone while nothing is due.
  EKind TakeDue();
  // The running job ended: back to idle, the path cleared.
  void Finish();

  int State() const { return mState; }
  const char* Path() const { return mPath.Get(); }

private:
  int mState = kNone;
  int mWaitTicks = 0;
  plugin::UT_String mPath;
};
