#pragma once
// The one argument parser of `auhost`: the commands, their options and
// positional arguments, strict numbers with ranges, and the help texts.
// Options take their value as the next argument or after "="; each is given
// once (--param once per parameter), and "--" ends them. A bad argument is
// refused with a sentence naming it, before anything runs.

#include <string>
#include <utility>
#include <vector>

namespace host {

struct ParsedArgs {
  std::string mCommand;  // empty with --help or --version alone
  bool mHelp = false;    // -h/--help (for mCommand when set)
  bool mVersion = false; // --version
  std::vector<std::string> mPositional;
  std::string mBundle;                             // --bundle; empty: the default
  long mBlock = 512;                               // --block
  long mReference = 2;                             // --reference
  std::string mCapture;                            // --capture
  std::vector<std::pair<unsigned, float>> mParams; // --param, in order
  std::string mPng;                                // --png
  long mScale = 1;                                 // --scale (the screen's backing scale)
  std::string mScript;                             // --script
  std::vector<std::string> mDo;                    // --do, in order
  std::string mReferenceFile;                      // --reference-file
  bool mLinearPhase = false;                       // --linear-phase
  std::string mEditorPng;                          // --editor-png
};

// Empty on success, else the message for a usage error (exit status 2).
std::string ParseCommandLine(int argc, const char* const* argv, ParsedArgs& out);

// The general help, and one command's help (empty for an unknown command).
std::string GeneralHelp();
std::string CommandHelp(const std::string& command);

// Strict readers: the whole text is a plain decimal number (an optional
// sign, digits, for ParseDecimal one optional point), for ParseInteger a
// whole one within [lo, hi].
bool ParseInteger(const std::string& text, long long lo, long long hi, long long& out);
bool ParseDecimal(const std::string& text, double& out);

} // namespace host
