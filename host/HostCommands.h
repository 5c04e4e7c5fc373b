#pragma once
// The commands of `auhost`, each on arguments already parsed. They print
// results to stdout and errors, warnings and progress to stderr, and return
// the exit status: 0 done, 1 the job failed (no output file was left), 2 a
// usage error. Host main thread.

#include "CommandLine.h"

namespace host {

// Dispatches argv as the program's main does.
int RunAuhost(int argc, const char* const* argv);

int ValidateCommand(const ParsedArgs& args);
int InfoCommand(const ParsedArgs& args);
int ProcessCommand(const ParsedArgs& args);
int MatchCommand(const ParsedArgs& args);
int EditorCommand(const ParsedArgs& args);

} // namespace host
