#pragma once
#include <string>

// What the plug-in needs of its editor's own controls, beyond IControl: the
// text read-outs take a string, the file pickers and the preset menu hand
// out the path the user chose. The editor's control classes derive from
// these next to their control base; the plug-in finds them by list position
// or tag and skips any control that does not offer them. Main thread.

class IEditorTextSink {
public:
  virtual ~IEditorTextSink() = default;
  // Sets the text; redraws only when it changed.
  virtual void SetStr(const char* text) = 0;
};

class IEditorPathSource {
public:
  virtual ~IEditorPathSource() = default;
  // The path last chosen, "" when none.
  virtual const char* GetChosenPath() const = 0;
};

namespace plugin {
class IParam;
}

// What the editor layout needs of the plug-in, without the plug-in class or
// its Audio Unit headers: the values it builds from, the places it writes
// the positions of the controls the plug-in updates later, and the "controls
// attached" flag. The plug-in implements it next to its editor delegate.
// Main thread.
class IEditorPlugLinks {
public:
  // The controls whose list positions the plug-in keeps.
  enum EControl {
    kCtrlUpdate,
    kCtrlCustomStyle,
    kCtrlCaptureLED,
    kCtrlClipLED,
    kCtrlPeakText,
    kCtrlTuneBox,
    kCtrlNeedle,
    kCtrlLoadFingerprint,
    kCtrlSaveFingerprint,
    kCtrlLoadReference,
    kCtrlSaveReference,
    kNumLinkedControls
  };

  virtual ~IEditorPlugLinks() = default;

  // "GUI scale" as the initial scale of a new context.
  virtual double EditorGUIScale() const = 0;
  // The data folder, "" when there is none.
  virtual const char* EditorDataFolder() const = 0;
  // The custom reference's name, "(None)" while none is loaded.
  virtual std::string EditorCustomRefName() = 0;
  // Editor-only parameter i (null past the last) and the message of entry 0.
  virtual plugin::IParam* EditorOnlyParam(int i) const = 0;
  virtual int EditorOnlyParamBaseTag() const = 0;
  // The drawing context cannot draw: the plug-in offers no editor.
  virtual void EditorUnavailable() = 0;
  virtual void SetLinkedControl(EControl which, int listIndex) = 0;
  // Every position is written: the plug-in may update the controls now, and
  // brings them in line with its state at once.
  virtual void SetControlsAttached() = 0;
};
