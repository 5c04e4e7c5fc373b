#pragma once
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
