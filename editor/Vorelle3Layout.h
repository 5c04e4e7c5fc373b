#pragma once
// The plug-in's editor: every control of the 650 x 470 window in attach
// order, its fonts and text styles, and the list positions the plug-in
// keeps of the controls it updates. Built once per graphics context; runs on
// the main thread when the editor opens.

class IEditorPlugLinks;

namespace plugin::igraphics {

class IGraphics;

// Lays out the editor of plug on g. Nothing when g already holds controls;
// a context that cannot draw switches the plug-in's editor off instead.
// Missing fonts or bitmaps leave their controls attached without a picture.
void LayoutVorelle3Editor(IGraphics& g, IEditorPlugLinks& plug);

// The delegate's layout function: the plug-in is the context's delegate.
void LayoutVorelle3EditorOfDelegate(IGraphics* g);

} // namespace plugin::igraphics
