#pragma once
// A deferred message box: a handler fills text and title and sets the flag;
// the idle loop shows it on the editor and clears the flag. Main thread.
#include "UT_String.h"

class ICMessageBox {
public:
  void PostMessage(const char* text, const char* title)
  {
    mMessageText.Set(text);
    mMessageTitle.Set(title);
    mMessagePending = true;
  }

protected:
  plugin::UT_String mMessageText;
  plugin::UT_String mMessageTitle;
  bool mMessagePending = false;
};
