#include "HostCommands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "AUBundle.h"
#include "AUFileProcessor.h"
#include "AUHostUnit.h"
#include "AUValidator.h"
#include "EditorSession.h"
#include "HostParameters.h"
#include "InterruptCleanup.h"
#include "ProgressLine.h"
#include "SpectrumMatch.h"
#include "StagedFile.h"
#include "Wording.h"

namespace host {

namespace {

// Every line auhost writes to stderr: "auhost: COMMAND: text".
void Say(const ParsedArgs& args, const std::string& text)
{
  const std::string prefix = args.mCommand.empty() ? "auhost: " : "auhost: " + args.mCommand + ": ";
  std::fprintf(stderr, "%s%s\n", prefix.c_str(), text.c_str());
}

int Fail(const ParsedArgs& args, const std::string& message)
{
  Say(args, message);
  return 1;
}

bool LoadBundle(const ParsedArgs& args, AUBundle& bundle)
{
  if (bundle.Load(args.mBundle.empty() ? DefaultBundlePath() : args.mBundle))
    return true;
  Fail(args, bundle.Error());
  return false;
}

} // namespace

int RunAuhost(int argc, const char* const* argv)
{
  ParsedArgs args;
  const std::string error = ParseCommandLine(argc, argv, args);
  if (!error.empty()) {
    Say(args, error);
    return 2;
  }
  if (args.mVersion) {
    std::printf("auhost %s\n", VORELLE3_VERSION);
    return 0;
  }
  if (args.mHelp) {
    const std::string text = args.mCommand.empty() ? GeneralHelp() : CommandHelp(args.mCommand);
    std::fputs(text.c_str(), stdout);
    return 0;
  }
  InstallInterruptCleanup();
  if (args.mCommand == "validate")
    return ValidateCommand(args);
  if (args.mCommand == "info")
    return InfoCommand(args);
  if (args.mCommand == "process")
    return ProcessCommand(args);
  if (args.mCommand == "editor")
    return EditorCommand(args);
  return MatchCommand(args);
}

int ValidateCommand(const ParsedArgs& args)
{
  AUBundle bundle;
  if (!LoadBundle(args, bundle))
    return 1;
  AUValidator validator(bundle);
  int failed = 0, skipped = 0, total = 0;
  validator.Run([&](const CheckResult& r) {
    ++total;
    failed += !r.mPassed && !r.mSkipped;
    skipped += r.mSkipped;
    if (r.mPassed)
      std::printf("PASS  %s\n", r.mName.c_str());
    else
      std::printf("%s  %s: %s\n", r.mSkipped ? "SKIP" : "FAIL", r.mName.c_str(), r.mDetail.c_str());
    std::fflush(stdout);
  });
  std::printf("%d of %d checks passed", total - failed - skipped, total);
  if (skipped)
    std::printf(", %d skipped", skipped);
  std::printf("\n");
  return failed == 0 ? 0 : 1;
}

int InfoCommand(const ParsedArgs& args)
{
  AUBundle bundle;
  if (!LoadBundle(args, bundle))
    return 1;
  AUHostUnit unit(bundle);
  if (OSStatus s = unit.Open(); s != noErr)
    return Fail(args, "the plug-in did not open (status " + std::to_string(s) + ")");
  const UInt32 v = bundle.Version();
  std::printf("%s %u.%u.%u (%s)\n", bundle.Identifier().c_str(), v >> 16, (v >> 8) & 0xFF, v & 0xFF,
              bundle.Path().c_str());
  std::fputs(FormatParameterList(unit).c_str(), stdout);
  return 0;
}

int ProcessCommand(const ParsedArgs& args)
{
  AUBundle bundle;
  if (!LoadBundle(args, bundle))
    return 1;
  ProgressLine progress(stderr);
  ProcessOptions options;
  options.mParams = args.mParams;
  options.mBlockSize = unsigned(args.mBlock);
  options.mProgress = [&progress](double f) { progress.Show("processing", f); };
  ProcessReport report;
  const std::string& in = args.mPositional[0];
  const std::string& out = args.mPositional[1];
  const std::string error = ProcessFile(bundle, in, out, options, &report);
  progress.End();
  if (!error.empty())
    return Fail(args, error);
  std::printf("wrote %s: %s, the plug-in's latency of %s compensated\n", out.c_str(),
              CountOf(report.mFrames, "frame").c_str(), CountOf(report.mLatency, "sample").c_str());
  for (const std::string& note : report.mNotes)
    Say(args, note);
  return 0;
}

int MatchCommand(const ParsedArgs& args)
{
  AUBundle bundle;
  if (!LoadBundle(args, bundle))
    return 1;
  ProgressLine progress(stderr);
  MatchOptions options;
  options.mInPath = args.mPositional[0];
  options.mOutPath = args.mPositional[1];
  options.mCapturePath = args.mCapture;
  options.mReference = int(args.mReference);
  options.mReferenceFile = args.mReferenceFile;
  options.mLinearPhase = args.mLinearPhase;
  options.mEditorPng = args.mEditorPng;
  options.mParams = args.mParams;
  options.mBlockSize = unsigned(args.mBlock);
  options.mProgress = [&progress](const char* phase, double f) { progress.Show(phase, f); };
  MatchReport report;
  const std::string error = RunSpectrumMatch(bundle, options, report);
  progress.End();
  if (!error.empty())
    return Fail(args, error);
  std::fputs(FormatMatchReport(options, report).c_str(), stdout);
  std::fflush(stdout);
  for (const std::string& note : report.mNotes)
    Say(args, note);
  return 0;
}

int EditorCommand(const ParsedArgs& args)
{
  EditorOptions options;
  options.screenScale = float(args.mScale);
  options.params = args.mParams;
  options.pngPath = args.mPng;
  options.scriptPath = args.mScript;
  if (!args.mPng.empty())
    if (std::string e = CheckOutputTarget(args.mPng); !e.empty())
      return Fail(args, e);
  std::vector<std::pair<std::string, std::string>> lines; // where, text
  if (!args.mScript.empty()) {
    std::error_code error;
    if (std::filesystem::is_directory(args.mScript, error)) {
      Say(args, "--script " + args.mScript + ": is a folder; name a file of actions, one a line");
      return 2;
    }
    std::ifstream script(args.mScript);
    if (!script)
      return Fail(args, "cannot read the script " + args.mScript);
    std::string line;
    for (int n = 1; std::getline(script, line); ++n)
      lines.emplace_back(args.mScript + ":" + std::to_string(n), line);
    if (script.bad())
      return Fail(args, "cannot read the script " + args.mScript);
  }
  for (const std::string& action : args.mDo)
    lines.emplace_back("--do", action);
  for (const auto& [where, text] : lines) {
    EditorAction action;
    std::string e = ParseEditorAction(text, action);
    if (e.empty() && where == "--do" && action.verb.empty())
      e = "\"" + text + "\" is no action; give one, for example --do \"click 32 32\"";
    if (!e.empty()) {
      Say(args, where + ": " + e);
      return 2;
    }
    options.actions.push_back(action);
  }
  AUBundle bundle;
  if (!LoadBundle(args, bundle))
    return 1;
  AUHostUnit unit(bundle);
  if (OSStatus s = unit.Open(); s != noErr)
    return Fail(args, "the plug-in does not open (status " + std::to_string(s) + ")");
  unit.SetFormat(2, 44100.0);
  unit.SetMaxFrames(512);
  if (OSStatus s = AudioUnitInitialize(unit.Unit()); s != noErr)
    return Fail(args, "the plug-in does not initialize (status " + std::to_string(s) + ")");
  EditorReport report;
  const std::string error = RunEditorSession(unit, options, report);
  for (const std::string& line : report.lines)
    std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  AudioUnitUninitialize(unit.Unit());
  if (!error.empty())
    return Fail(args, error);
  return 0;
}

} // namespace host
