#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace host {

namespace {

struct OptionInfo {
  const char* name;
  const char* value; // null: a flag
  const char* help;
};

struct CommandInfo {
  const char* name;
  const char* positional; // as shown in the synopsis
  size_t nPositional;
  const char* summary;
  std::vector<const char*> options;
};

const OptionInfo kOptions[] = {
  {"--bundle", "PATH", "the Vorelle3.component bundle to load (default: the one built beside auhost)"},
  {"--block", "N", "frames per render call, 1 to 4096 (default 512)"},
  {"--param", "ID=VALUE", "sets a parameter before the audio plays; may repeat (`auhost info` lists them)"},
  {"--reference", "N", "the built-in reference curve, 0 to 3 (default 2)"},
  {"--capture", "FILE", "captures the fingerprint from FILE instead of the input"},
  {"--reference-file", "FILE",
   "matches to the long-term spectrum of FILE (a .ref reference or a WAV/AIFF recording), loaded through the\n"
   "      editor's reference file button"},
  {"--linear-phase", nullptr, "switches the editor's filter button to DIGITAL (linear phase, more latency)"},
  {"--editor-png", "FILE", "writes a picture of the editor after the match"},
  {"--png", "FILE", "writes a picture of the editor after the actions"},
  {"--scale", "N", "the screen's backing scale, 1 or 2 (2 draws the @2x pictures)"},
  {"--script", "FILE", "runs the actions in FILE, one a line (# starts a comment)"},
  {"--do", "ACTION", "runs one action; may repeat (see below)"},
  {"--help", nullptr, "shows this help"},
};

const std::vector<CommandInfo>& Commands()
{
  static const std::vector<CommandInfo> commands = {
    {"validate", "", 0, "runs every check against the plug-in, one PASS/FAIL line each", {"--bundle"}},
    {"info",
     "",
     0,
     "lists the plug-in's parameters: id, name, range, default, unit and what a host may do",
     {"--bundle"}},
    {"process",
     "IN OUT",
     2,
     "renders the WAV or AIFF file IN through the plug-in into OUT (.wav or .aiff), lined up with IN",
     {"--param", "--block", "--bundle"}},
    {"match",
     "IN OUT",
     2,
     "plays the capture file (default IN) through the plug-in in Capture, then IN in Processing against a\n"
     "      built-in reference into OUT (.wav or .aiff), and reports latency, peak, clipping and how the\n"
     "      long-term spectrum moved per octave",
     {"--reference", "--reference-file", "--linear-phase", "--capture", "--editor-png", "--param", "--block",
      "--bundle"}},
    {"editor",
     "",
     0,
     "opens the plug-in's editor as a host does, runs scripted clicks, drags, keys, wheel turns and file\n"
     "      dialog answers, reports the parameter changes it makes and draws it to PNG",
     {"--png", "--scale", "--script", "--do", "--param", "--bundle"}},
  };
  return commands;
}

const CommandInfo* FindCommand(const std::string& name)
{
  for (const CommandInfo& c : Commands())
    if (name == c.name)
      return &c;
  return nullptr;
}

const OptionInfo* FindOption(const std::string& name)
{
  for (const OptionInfo& o : kOptions)
    if (name == o.name)
      return &o;
  return nullptr;
}

std::string Synopsis(const CommandInfo& c)
{
  std::string s = std::string("auhost ") + c.name;
  if (*c.positional)
    s += std::string(" ") + c.positional;
  for (const char* name : c.options) {
    const OptionInfo* o = FindOption(name);
    const bool repeats = std::strcmp(name, "--param") == 0 || std::strcmp(name, "--do") == 0;
    s += std::string(" [") + o->name + (o->value ? std::string(" ") + o->value : "") + "]" + (repeats ? "..." : "");
  }
  return s;
}

std::string CommandNames()
{
  std::string names;
  for (const CommandInfo& c : Commands())
    names += std::string(names.empty() ? "" : ", ") + c.name;
  return names;
}

std::string ParseParam(const std::string& text, ParsedArgs& out)
{
  const size_t eq = text.find('=');
  long long id = 0;
  double value = 0.0;
  if (eq == std::string::npos)
    return "--param takes ID=VALUE, for example --param 5=-6";
  if (!ParseInteger(text.substr(0, eq), 0, std::numeric_limits<unsigned>::max(), id))
    return "--param " + text + ": the ID must be a whole number from 0 to " +
           std::to_string(std::numeric_limits<unsigned>::max()) + " (`auhost info` lists them)";
  if (!ParseDecimal(text.substr(eq + 1), value) || std::fabs(value) > std::numeric_limits<float>::max())
    return "--param " + text + ": the VALUE must be a plain decimal number, for example --param 5=-6.5";
  for (const auto& [given, v] : out.mParams)
    if (given == unsigned(id))
      return "--param " + text + ": parameter " + std::to_string(id) + " is given twice; give it once";
  out.mParams.emplace_back(unsigned(id), float(value));
  return "";
}

} // namespace

bool ParseInteger(const std::string& text, long long lo, long long hi, long long& out)
{
  double v = 0.0;
  if (!ParseDecimal(text, v) || text.find('.') != std::string::npos || v < double(lo) || v > double(hi))
    return false;
  // Exact beyond 2^53: the digits again as an integer.
  long long n = 0;
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  if (std::from_chars(first, text.data() + text.size(), n).ec != std::errc() || n < lo || n > hi)
    return false;
  out = n;
  return true;
}

bool ParseDecimal(const std::string& text, double& out)
{
  // Plain decimal only: a sign, digits and one point; no exponent, hex,
  // spaces or names such as "inf".
  size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  size_t digits = 0, points = 0;
  for (size_t j = i; j < text.size(); ++j) {
    if (std::isdigit(static_cast<unsigned char>(text[j])))
      ++digits;
    else if (text[j] == '.')
      ++points;
    else
      return false;
  }
  if (digits == 0 || points > 1)
    return false;
  double v = 0.0;
  if (std::from_chars(text.data() + i, text.data() + text.size(), v, std::chars_format::fixed).ec != std::errc() ||
      !std::isfinite(v))
    return false;
  out = text[0] == '-' ? -v : v;
  return true;
}

std::string ParseCommandLine(int argc, const char* const* argv, ParsedArgs& out)
{
  out = ParsedArgs();
  if (argc < 2)
    return "name a command: " + CommandNames() + " (auhost --help tells more)";
  const std::string first = argv[1];
  if (first == "-h" || first == "--help") {
    out.mHelp = true;
    return "";
  }
  if (first == "--version") {
    out.mVersion = true;
    return "";
  }
  const CommandInfo* command = FindCommand(first);
  if (!command)
    return "unknown command \"" + first + "\"; the commands are " + CommandNames() + " (auhost --help tells more)";
  out.mCommand = command->name;
  const std::string who = "auhost " + out.mCommand;
  // The caller puts "auhost: COMMAND: " before a message from here on.
  std::vector<std::string> given;
  bool optionsEnded = false;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && (arg == "-h" || arg == "--help")) {
      out.mHelp = true;
      continue;
    }
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      out.mPositional.push_back(arg);
      continue;
    }
    std::string value;
    bool hasValue = false;
    if (const size_t eq = arg.find('='); eq != std::string::npos && arg.compare(0, 2, "--") == 0) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
      hasValue = true;
    }
    bool known = false;
    for (const char* name : command->options)
      known = known || arg == name;
    if (!known)
      return (FindOption(arg) ? "takes no option " : "unknown option ") + arg + " (" + who +
             " --help lists the options)";
    if (arg != "--param" && arg != "--do") {
      if (std::find(given.begin(), given.end(), arg) != given.end())
        return arg + " is given twice; give it once";
      given.push_back(arg);
    }
    if (!FindOption(arg)->value) {
      if (hasValue)
        return arg + " takes no value";
      if (arg == "--linear-phase")
        out.mLinearPhase = true;
      continue;
    }
    if (!hasValue) {
      if (i + 1 >= argc)
        return arg + " needs a value: " + arg + " " + FindOption(arg)->value;
      value = argv[++i];
    }
    long long n = 0;
    if (arg == "--bundle") {
      out.mBundle = value;
    } else if (arg == "--capture") {
      out.mCapture = value;
    } else if (arg == "--block") {
      if (!ParseInteger(value, 1, 4096, n))
        return "--block " + value + ": takes a whole number of frames, 1 to 4096";
      out.mBlock = long(n);
    } else if (arg == "--reference") {
      if (!ParseInteger(value, 0, 3, n))
        return "--reference " + value + ": takes a built-in reference, 0 to 3";
      out.mReference = long(n);
    } else if (arg == "--param") {
      if (std::string e = ParseParam(value, out); !e.empty())
        return e;
    } else if (arg == "--png") {
      out.mPng = value;
    } else if (arg == "--editor-png") {
      out.mEditorPng = value;
    } else if (arg == "--reference-file") {
      out.mReferenceFile = value;
    } else if (arg == "--script") {
      out.mScript = value;
    } else if (arg == "--do") {
      out.mDo.push_back(value);
    } else if (arg == "--scale") {
      if (!ParseInteger(value, 1, 2, n))
        return "--scale " + value + ": takes the screen's backing scale, 1 or 2";
      out.mScale = long(n);
    }
  }
  const auto wasGiven = [&given](const char* name) { return std::find(given.begin(), given.end(), name) != given.end(); };
  if (wasGiven("--reference") && wasGiven("--reference-file"))
    return "--reference and --reference-file both choose the reference to match to; give one of them";
  if (!out.mHelp && out.mPositional.size() != command->nPositional) {
    if (command->nPositional == 2)
      return "name one input file and one output file (" + Synopsis(*command) + ")";
    return "takes no file names (" + Synopsis(*command) + ")";
  }
  return "";
}

std::string GeneralHelp()
{
  std::string text = "auhost: the offline Audio Unit host for Vorelle3\n\nusage:\n";
  for (const CommandInfo& c : Commands())
    text += "  " + Synopsis(c) + "\n      " + c.summary + "\n";
  text += "  auhost --version\n\n"
          "auhost COMMAND --help tells more about one command. Output files are written whole or not at all.\n";
  return text;
}

std::string CommandHelp(const std::string& name)
{
  const CommandInfo* c = FindCommand(name);
  if (!c)
    return "";
  std::string text = "usage: " + Synopsis(*c) + "\n  " + c->summary + "\n";
  if (!c->options.empty())
    text += "options:\n";
  for (const char* optionName : c->options) {
    const OptionInfo* o = FindOption(optionName);
    // The editor plays no audio: the host sets the value as the editor opens.
    const char* help = name == "editor" && o == FindOption("--param")
                         ? "sets a parameter before the editor opens and any action runs; may repeat (`auhost "
                           "info` lists them)"
                         : o->help;
    text += "  " + std::string(o->name) + (o->value ? std::string(" ") + o->value : "") + "\n      " + help + "\n";
  }
  text += "  -h, --help\n      shows this help\n";
  if (name == "process")
    text += "What the plug-in does by parameter 2 \"Activity state\":\n"
            "  0 Capture     passes the audio through unchanged while it takes the spectrum's fingerprint\n"
            "  1 Idle        passes the audio through unchanged (the default)\n"
            "  2 Processing  runs the audio through the correction filter, mixes it with the dry signal by\n"
            "                6 \"Mix\", scales the filtered part by 5 \"Gain\", limits to full scale and fades in\n"
            "                over the first quarter second\n"
            "A new plug-in has no fingerprint, so its filter is flat: process alone corrects nothing.\n"
            "`auhost match` captures and corrects in one run.\n";
  if (name == "editor")
    text +=
      "Actions (points of the editor's view as the action begins, origin top left: 650 x 470 at 100 %,\n"
      "1300 x 940 at 200 %; MODS: shift, ctrl, alt, cmd joined by +):\n"
      "  click X Y [MODS]   dblclick X Y [MODS]   hover X Y   drag X Y DX DY [MODS]   wheel X Y DELTA [MODS]\n"
      "  type TEXT   key return|tab|delete|escape   file PATH   cancel   param ID VALUE   wait SECONDS   png FILE\n"
      "\"file\" and \"cancel\" answer the next file dialog; without an answer a dialog is cancelled.\n"
      "Printed in order: parameter changes and gestures, alerts, file dialogs with their answers, locations\n"
      "opened, and each picture with its size.\n"
      "Example: auhost editor --do \"drag 557 261 0 -40\" --png editor.png\n"
      "The plug-in menu (click 32 32) is drawn by the editor: a submenu opens only while the pointer rests on\n"
      "its item, so hover there and wait 1 before choosing. Choosing \"Fixed GUI Scale\" 200 %:\n"
      "  auhost editor --do \"click 32 32\" --do \"wait 0.5\" --do \"hover 100 294\" --do \"wait 1\"\n"
      "    --do \"hover 320 361\" --do \"click 320 361\" --do \"wait 1\" --png big.png\n";
  if (name == "process" || name == "match")
    text += "Parameters 7 \"Reset peak max\" and 8 \"Match peak max\" are one-shot buttons, not settings; when the\n"
            "output clips, auhost says how far to lower parameter 5 \"Gain\". A mono input is written as stereo.\n";
  return text;
}

} // namespace host
