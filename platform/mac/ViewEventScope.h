#pragma once

#include "IGraphicsView.h"

// Keeps the view alive through a handler and runs a close the handler's
// callbacks asked for once the outermost handler is done.
class ViewEventScope {
public:
  explicit ViewEventScope(IGraphicsView_vVorelle3_au* view) : mView(view)
  {
    mView->retain();
    ++mView->mEventDepth;
  }
  ~ViewEventScope()
  {
    if (--mView->mEventDepth == 0 && mView->mClosePending)
      mView->closeEditor();
    mView->release();
  }
  ViewEventScope(const ViewEventScope&) = delete;
  ViewEventScope& operator=(const ViewEventScope&) = delete;

private:
  IGraphicsView_vVorelle3_au* mView;
};
