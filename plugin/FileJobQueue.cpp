#include "FileJobQueue.h"

#include <initializer_list>

void FileJobQueue::Queue(EKind kind, const char* path)
{
  mState = kind;
  mPath.Set(path ? path : "");
}

FileJobQueue::EKind FileJobQueue::TakeDue()
{
  EKind kind = kNone;
  for (EKind k : {kConvert, kFingerprint, kReference}) {
    if (mState == k || mState == k + 1)
      kind = k;
  }
  if (kind == kNone)
    return kNone;
  if (mState == kind) {
    if (mWaitTicks++ < 1)
      return kNone;
    mWaitTicks = 0;
  }
  mState = kind + 2;
  return kind;
}

void FileJobQueue::Finish()
{
  mState = kNone;
  mPath.Set("");
}
