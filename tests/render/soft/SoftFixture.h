#pragma once
// The back end over the software stand-in, whose record of engine calls the
// tests read.

#include "BackendFixture.h"
#include "SoftMVG.h"

namespace backendtest {

class SoftFixture : public BackendFixture
{
protected:
  softmvg::Context& Soft() { return *softmvg::ContextOf(static_cast<VGcontext*>(g->GetDrawContext())); }
  // Forgets the engine calls recorded so far.
  void ResetCalls()
  {
    softmvg::Context& c = Soft();
    c.Clear();
    c.firstPending = 0;
  }
  // The first recorded call of a kind, or null.
  const vgtest::RecordedCall* First(vgtest::ECall kind)
  {
    for (const auto& c : Soft().calls)
      if (c.kind == kind)
        return &c;
    return nullptr;
  }
};

} // namespace backendtest
