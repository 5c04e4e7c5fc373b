#pragma once
// The plug-in's editor opened as a host opens it (the Cocoa UI property
// names the view factory class, found in the class registry), placed in a
// window, driven by scripted user actions and drawn to PNG pictures. What a
// person would do in a dialog comes from the answers queued by the script;
// an empty queue answers "cancelled". Main thread.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AUHostUnit.h"

namespace host {

class StagedFile;

// One scripted action. Points are those of the editor's view as the action
// begins (origin top left; 1300 x 940 for a view at 200 %), as a person
// points at the window.
//   click X Y [MODS]      dblclick X Y [MODS]     hover X Y
//   drag X Y DX DY [MODS] (pressed at X Y, moved in steps, released)
//   wheel X Y DELTA [MODS]
//   type TEXT             key return|escape|tab|delete
//   file PATH             cancel   (the next file dialog's answer)
//   param ID VALUE        (the host writes a parameter; in its range)
//   wait SECONDS (0 on)   png FILE
// MODS: any of shift, ctrl, alt, cmd joined by "+".
struct EditorAction {
  std::string verb;
  std::vector<std::string> words;
};

// Empty on success, else why the line is not an action. Blank lines and
// lines starting with "#" give verb "".
std::string ParseEditorAction(const std::string& line, EditorAction& out);

struct EditorOptions {
  float screenScale = 1.f; // the main screen's backing scale
  std::vector<std::pair<unsigned, float>> params;
  std::vector<EditorAction> actions;
  std::string pngPath; // a last picture after the actions; empty: none
  std::string scriptPath; // the file the actions came from: no picture replaces it
  // Called with the unit once the editor is open and before the actions
  // (tests and `match` use it to play audio); may be empty.
  std::function<std::string(AUHostUnit&)> beforeActions;
};

struct EditorReport {
  // Parameter changes, gestures, alerts, file dialogs with their answers,
  // locations opened and pictures written ("wrote FILE (W x H)"), in order.
  std::vector<std::string> lines;
  int width = 0, height = 0; // the last picture's size in pixels
  std::vector<std::string> pictures;
};

// The editor of one unit in a host window, open from Open to Close (or
// destruction). Each action ends with two frames and the plug-in's timer.
class EditorWindow {
public:
  EditorWindow(AUHostUnit& unit, EditorReport& report);
  ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // Empty on success: the view is made through the Cocoa UI property.
  std::string Open(float screenScale);
  std::string Do(const EditorAction& action);
  // The view's width over its width at 100 %: where a point of the editor
  // at 100 % is now (the plug-in may open at the scale a user saved).
  double ViewScale() const;
  // The frame the view shows now, as a PNG; with staged, left there complete
  // for the caller to put in place.
  std::string Picture(const std::string& path, StagedFile* staged = nullptr);
  void Close();

private:
  class Impl;
  Impl* mImpl;
};

// Opens the editor of unit (already open), runs the actions, writes the
// pictures and closes the editor again. Empty on success.
std::string RunEditorSession(AUHostUnit& unit, const EditorOptions& options, EditorReport& report);

} // namespace host
