#pragma once
// The editor's graphics on macOS: the drawing back end completed with the
// AppKit platform slots (window, cursor, clipboard, dialogs, URLs, fonts,
// native text entry and menus, tooltips, dark mode). It owns the editor
// view while a window is open; the view calls back for every event and
// frame. Main thread only.

#include "IGraphicsVG.h"
#include "UT_String.h"

class IGraphicsView_vVorelle3_au;

namespace plugin::igraphics {

class IGraphicsMac : public IGraphicsVG {
public:
  IGraphicsMac(IGEditorDelegate& dlg, int w, int h, int fps, float scale);
  ~IGraphicsMac() override;

  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  bool WindowIsOpen() override { return mView != nullptr; }
  void* GetWindow() override;
  void PlatformResize(bool parentHasResized) override;
  void AttachPlatformView(const IRECT& r, void* view) override;
  void RemovePlatformView(void* view) override;

  void GetMouseLocation(float& x, float& y) const override;
  void HideMouseCursor(bool hide = true, bool lock = true) override;
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int cursorType) override;
  void EndUserInput(bool commit) override;

  bool GetTextFromClipboard(UT_String& str) override;
  bool SetTextInClipboard(const char* str) override;
  void UpdateTooltips() override;

  // Result 1 OK, 2 cancel, 4 retry, 6 yes, 7 no.
  int ShowMessageBox(const char* str, const char* caption, int type,
                     std::function<void(int)> completion = nullptr) override;
  void PromptForFile(UT_String& fileName, UT_String& path, int action = 0, const char* ext = "") override;
  void PromptForDirectory(UT_String& dir) override;
  bool PromptForColor(IColor& color, const char* prompt, std::function<void(const IColor&)> done) override;
  // False when no URL can be made of the text.
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  const char* GetPlatformAPIStr() override { return "Cocoa"; }
  bool RevealPath(const char* path, bool select) override;

  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  PlatformFontPtr LoadPlatformFontFromData(const char* fontID, void* pData, int dataSize) override;
  PlatformFontPtr LoadPlatformFontByName(const char* fontID, const char* fontName, ETextStyle style) override;
  void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) override;
  const char* GetBundleID() override { return mBundleID.Get(); }
  void SetBundleID(const char* id) { mBundleID.Set(id ? id : ""); }

  void CreatePlatformTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length,
                               const char* str) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRECT& bounds, bool& isAsync) override;
  bool GetDarkMode() const override;

  // Called by the view for every mouse event: with the cursor hidden and
  // locked (and no tablet) the pointer goes back to the lock position and
  // the stored position is reported; otherwise (x, y) is stored and reported.
  void RepositionCursor(float& outX, float& outY, float x, float y);
  void StoreCursorPosition();
  void SetTabletInput(bool tablet) { mTabletInput = tablet; }
  bool IsTabletInput() const { return mTabletInput; }
  bool IsCursorLocked() const { return mCursorLock; }
  // The popup-menu control is attached and showing a menu.
  bool PopupMenuShowing() const { return PopupIsOpen(); }
  // A control edits text and the drawn field is not the one doing it.
  bool NativeTextEntryExpected() const { return GetControlInTextEntry() && !GetTextEntryControl(); }

  // Dark appearances exist from macOS 10.14 on.
  static bool SystemHasDarkMode();
  // Empties the process-wide font-descriptor cache; registered for program exit.
  static void FontDescriptorCacheAtExit();

private:
  // Moves the system pointer to a screen point (y up) without moving the
  // mouse's own position.
  void MoveSystemPointer(double screenX, double screenY);

  IGraphicsView_vVorelle3_au* mView = nullptr; // retained
  double mCursorLockX = 0.;
  double mCursorLockY = 0.;
  UT_String mBundleID;
};

} // namespace plugin::igraphics
