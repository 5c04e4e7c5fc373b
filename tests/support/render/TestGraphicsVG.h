#pragma once
// The back end completed with do-nothing platform slots; fonts load from
// files through a platform font that hands over the file's bytes. Shared by
// the back end's tests and its benchmark.

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "IControl.h"
#include "IFontData.h"
#include "IGraphicsVG.h"
#include "SystemFonts.h"

namespace backendtest {

using namespace plugin;
using namespace plugin::igraphics;

// A font whose data are given bytes and a face index.
class BytesFont : public PlatformFont {
public:
  BytesFont(std::vector<unsigned char> bytes, int face) : mBytes(std::move(bytes)), mFace(face) {}
  IFontDataPtr GetFontData() const override
  {
    ++fetches;
    return std::make_unique<IFontData>(mBytes.data(), static_cast<int>(mBytes.size()), mFace);
  }
  mutable int fetches = 0;

private:
  std::vector<unsigned char> mBytes;
  int mFace;
};

class GraphicsVG : public IGraphicsVG {
public:
  GraphicsVG(IGEditorDelegate& dlg, int w, int h, float scale = 1.f) : IGraphicsVG(dlg, w, h, 60, scale) {}

  using IGraphicsVG::BeginFrame;

  // Past mPathStepLimit moves and lines a step throws, so that a drawing call
  // without bound fails its test at once instead of exhausting memory.
  struct PathStepLimitReached {};
  long mPathSteps = 0;
  long mPathStepLimit = std::numeric_limits<long>::max();
  void PathMoveTo(float x, float y) override
  {
    Step();
    IGraphicsVG::PathMoveTo(x, y);
  }
  void PathLineTo(float x, float y) override
  {
    Step();
    IGraphicsVG::PathLineTo(x, y);
  }
  void Step()
  {
    if (++mPathSteps > mPathStepLimit)
      throw PathStepLimitReached();
  }

  void GetMouseLocation(float& x, float& y) const override { x = y = 0; }
  void HideMouseCursor(bool, bool) override {}
  void MoveMouseCursor(float, float) override {}
  void EndUserInput(bool) override {}
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  bool GetTextFromClipboard(UT_String&) override { return false; }
  bool SetTextInClipboard(const char*) override { return false; }
  void UpdateTooltips() override {}
  int ShowMessageBox(const char*, const char*, int, std::function<void(int)>) override { return 0; }
  void PromptForFile(UT_String&, UT_String&, int, const char*) override {}
  void PromptForDirectory(UT_String&) override {}
  bool PromptForColor(IColor&, const char*, std::function<void(const IColor&)>) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  PlatformFontPtr LoadPlatformFont(const char*, const char* file) override
  {
    auto bytes = ReadFileBytes(file);
    return bytes.empty() ? nullptr : std::make_unique<BytesFont>(std::move(bytes), 0);
  }
  PlatformFontPtr LoadPlatformFontFromData(const char*, void*, int) override { return nullptr; }
  PlatformFontPtr LoadPlatformFontByName(const char*, const char*, ETextStyle) override { return nullptr; }
  void CachePlatformFont(const char*, const PlatformFontPtr&) override {}
  void CreatePlatformTextEntry(int, const IText&, const IRECT&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IRECT&, bool&) override { return nullptr; }
};

// Runs a function as its drawing.
class SceneControl : public IControl {
public:
  SceneControl(const IRECT& r, std::function<void(IGraphics&)> draw) : IControl(r), mDraw(std::move(draw)) {}
  void Draw(IGraphics& g) override { mDraw(g); }

private:
  std::function<void(IGraphics&)> mDraw;
};

} // namespace backendtest
