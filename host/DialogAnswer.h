#pragma once
// What a file dialog may hand the plug-in: a file it can read or replace
// and be done with. The plug-in opens the answer and reads or writes it
// whole, so a pipe or device would keep it waiting for ever. Host main
// thread.

#include <string>

namespace host {

// Empty when path (links followed) is a regular file, or nothing yet (a new
// name for a save dialog; an open dialog's plug-in reports a missing file
// itself). Else the refusal, naming path and why.
std::string CheckDialogAnswer(const std::string& path);

} // namespace host
