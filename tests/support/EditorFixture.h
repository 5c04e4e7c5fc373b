#pragma once
// An editor opened the way the platform opens one: the delegate makes the
// test graphics, stores it, opens its window and lays it out.

#include <gtest/gtest.h>

#include "TestGraphics.h"

namespace testsupport {

class EditorFixture : public ::testing::Test {
protected:
  void SetUp() override
  {
    InitParams();
    dlg.SetMakeGraphicsFunc([](IGEditorDelegate& d) { return new TestGraphics(d, 400, 300, 60, 1.f); });
    dlg.OpenWindow(nullptr);
    dlg.SetEditorReady(true);
    g = static_cast<TestGraphics*>(dlg.GetGraphics());
    g->TakeLog();
    dlg.TakeLog();
  }

  virtual void InitParams()
  {
    for (int i = 0; i < dlg.NParams(); ++i)
      dlg.GetParam(i)->InitDouble(Fmt("p%g", i).c_str(), 0.0, 0.0, 1.0, 0.01);
  }

  RecordingControl* Add(const char* name, const IRECT& r, int paramIdx = -1, int tag = -1)
  {
    auto* c = new RecordingControl(name, r, paramIdx);
    g->AttachControl(c, tag);
    return c;
  }

  static IMouseInfoList Pt(float x, float y, bool right = false, std::uint64_t touch = 0, float dx = 0, float dy = 0)
  {
    IMouseInfo i;
    i.x = x;
    i.y = y;
    i.dX = dx;
    i.dY = dy;
    i.ms.L = !right;
    i.ms.R = right;
    i.ms.touchID = touch;
    return {i};
  }

  TestDelegate dlg{4};
  TestGraphics* g = nullptr;
};

using Log = std::vector<std::string>;

} // namespace testsupport
