// The auhost program as a user meets it: help, version, the argument checks
// of every command, the parameter listing, progress on a terminal and off
// it, and output files that appear whole or not at all, also when the disk
// refuses a write or the user presses Ctrl-C.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "AuhostRun.h"
#include "HostFiles.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using hosttest::Names;
using hosttest::ReadBytes;
using hosttest::WriteAudio;
using hosttest::Argv;
using hosttest::Noise;
using hosttest::Result;
using hosttest::RunAuhost;
using hosttest::Wait;

} // namespace

TEST(Tool, HelpAndVersionGoToStandardOutputAndBadArgumentsAreNamed)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(1000, 0.1f), 2, 44100));
  const struct {
    std::vector<std::string> args;
    int status;
    const char* out;
    const char* err;
  } rows[] = {
    {{"--help"}, 0, "auhost match IN OUT", ""},
    {{"-h"}, 0, "auhost info", ""},
    {{"process", "--help"}, 0, "usage: auhost process IN OUT", ""},
    {{"match", "-h"}, 0, "--reference N", ""},
    {{"info", "--help"}, 0, "usage: auhost info", ""},
    {{"validate", "-h"}, 0, "usage: auhost validate", ""},
    {{"--version"}, 0, "auhost 3.0.21\n", ""},
    {{}, 2, "", "name a command"},
    {{"frobnicate"}, 2, "", "unknown command \"frobnicate\""},
    {{"process", in, out, "--param", "5=1junk"}, 2, "", "VALUE must be a plain decimal number"},
    {{"process", in, out, "--param", "5=nan"}, 2, "", "VALUE must be a plain decimal number"},
    {{"process", in, out, "--block", "12abc"}, 2, "", "--block 12abc: takes a whole number"},
    {{"process", in, out, "--block", "5000"}, 2, "", "1 to 4096"},
    {{"process", in, out, "--reference", "1"},
     2,
     "",
     "auhost: process: takes no option --reference (auhost process --help"},
    {{"match", in, out, "--param", "4294967301=0"}, 2, "", "from 0 to 4294967295"},
    {{"match", in, out, "--reference", "1.5"}, 2, "", "0 to 3"},
    {{"match", in}, 2, "", "one input file and one output file"},
    {{"info", in}, 2, "", "takes no file names"},
    {{"process", in, out, "--param", "5=25"}, 1, "", "(\"Gain\") takes -24 to 24 dB"},
    {{"process", in, out, "--param", "7=1"}, 1, "", "is a one-shot button"},
    {{"process", in, out, "--param", "4294967295=0"}, 1, "", "has no parameter 4294967295"},
  };
  for (const auto& row : rows) {
    const Result r = RunAuhost(dir, row.args);
    const std::string what = row.args.empty() ? "(none)" : row.args[0] + " " + row.args.back();
    EXPECT_EQ(r.status, row.status) << what << "\n" << r.err;
    EXPECT_NE(r.out.find(row.out), std::string::npos) << what << "\n" << r.out;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << what << "\n" << r.err;
    if (row.status == 0) {
      EXPECT_EQ(r.err, "") << what;
    }
  }
  EXPECT_FALSE(fs::exists(out));
}

TEST(Tool, InfoListsEveryParameterWithItsRangeDefaultAndUnit)
{
  testsupport::TempFolder dir;
  const Result r = RunAuhost(dir, {"info"});
  ASSERT_EQ(r.status, 0) << r.err;
  const struct {
    const char* line;
  } rows[] = {
    {" 0  GUI scale            0.5 to 3           1                 the editor's only"},
    {" 2  Activity state       0 to 2             1 (Idle)          --param 2=VALUE"},
    {"    values: 0 Capture, 1 Idle, 2 Processing"},
    {" 4  AD mode              0 to 1             0 (Analoge)       the editor's only"},
    {" 5  Gain                 -24 to 24          0           dB    --param 5=VALUE"},
    {" 6  Mix                  0 to 100           100         %     --param 6=VALUE"},
    {" 7  Reset peak max       0 to 1             0 (Off)           a one-shot button, not a setting"},
    {" 8  Match peak max       0 to 1             0 (Off)           a one-shot button, not a setting"},
    {" 9  Online Update Check  0 to 1             1 (On)            the editor's only"},
  };
  for (const auto& row : rows)
    EXPECT_NE(r.out.find(row.line), std::string::npos) << row.line << "\nin\n" << r.out;
}

TEST(Tool, ProgressUsesCarriageReturnsOnlyOnATerminalAndReaches100Percent)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(22050 + 3, 0.1f), 2, 22050));
  const Result piped = RunAuhost(dir, {"process", in, dir.File("a.wav")});
  ASSERT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(piped.err.find('\r'), std::string::npos) << piped.err;
  EXPECT_NE(piped.out.find("wrote "), std::string::npos);

  int master = -1;
  const std::vector<std::string> args{"process", in, dir.File("b.wav")};
  const std::vector<const char*> argv = Argv(args);
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execv(AUHOST_PATH, const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  std::string screen;
  char buffer[512];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
    screen.append(buffer, size_t(n));
  close(master);
  EXPECT_EQ(Wait(pid), 0) << screen;
  EXPECT_NE(screen.find("\rprocessing 100%"), std::string::npos) << screen;
}

TEST(Tool, AFailedWriteLeavesThePreviousOutputAndNoHalfFile)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(2 * 44100, 0.1f), 2, 44100));
  std::ofstream(out) << "the previous good output";
  const auto names = Names(dir.Path());
  for (const char* command : {"process", "match"}) {
    const Result r = RunAuhost(dir, {command, in, out}, 64 * 1024);
    EXPECT_EQ(r.status, 1) << command << ": " << r.out << r.err;
    EXPECT_NE(r.err.find("writing " + out + " failed"), std::string::npos) << command << ": " << r.err;
    EXPECT_EQ(ReadBytes(out), "the previous good output") << command;
    EXPECT_EQ(Names(dir.Path()), names) << command;
  }
}

TEST(Tool, EverySignalThatEndsTheProgramLeavesThePreviousOutputAndNoHalfFile)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(120 * 44100, 0.1f), 2, 44100));
  std::ofstream(out) << "the previous good output";
  const auto names = Names(dir.Path());
  const std::vector<std::string> args{"process", in, out};
  const std::vector<const char*> argv = Argv(args);
  // Ctrl-C, and the others a terminal, a shell, a limit or a script sends.
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ, SIGXCPU, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE, SIGVTALRM,
                  SIGPROF, SIGRTMIN + 3}) {
    const pid_t pid = fork();
    if (pid == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      const rlimit noCore{0, 0};
      setrlimit(RLIMIT_CORE, &noCore);
      execv(AUHOST_PATH, const_cast<char* const*>(argv.data()));
      _exit(127);
    }
    // Once the half file exists.
    bool started = false;
    for (int i = 0; i < 3000 && !started; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      started = Names(dir.Path()).size() > names.size();
    }
    kill(pid, sig);
    const int status = Wait(pid);
    ASSERT_TRUE(started) << "no temporary output appeared";
    EXPECT_EQ(status, 128 + sig) << strsignal(sig);
    EXPECT_EQ(ReadBytes(out), "the previous good output") << strsignal(sig);
    EXPECT_EQ(Names(dir.Path()), names) << strsignal(sig);
  }
}

TEST(Tool, AMatchInterruptedAfterItsPictureIsDrawnKeepsThePreviousPictureWithThePreviousAudio)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("loud.wav"), out = dir.File("out.wav"), png = dir.File("editor.png");
  // Loud enough that the clipping is measured by a second pass, after the
  // picture is drawn.
  ASSERT_TRUE(WriteAudio(in, Noise(15 * 44100, 40.f), 2, 44100));
  const std::string previousAudio = "the previous good output", previousPicture = "the previous picture";
  std::ofstream(out) << previousAudio;
  std::ofstream(png) << previousPicture;
  const auto names = Names(dir.Path());
  const std::vector<std::string> args{"match", in, out, "--editor-png", png};
  const std::vector<const char*> argv = Argv(args);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(AUHOST_PATH, const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  // The picture is drawn once its file (or a temporary one beside it)
  // appears; it must never be in place while the audio is not.
  bool pictureFirst = false;
  int drawnFor = -1; // polls since
  for (int i = 0; i < 30000 && drawnFor < 25; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::error_code ec;
    bool drawn = fs::file_size(png, ec) != previousPicture.size();
    pictureFirst = pictureFirst || (drawn && fs::file_size(out, ec) == previousAudio.size());
    for (const std::string& name : Names(dir.Path()))
      drawn = drawn || name.rfind(".editor.png.", 0) == 0;
    if (drawnFor >= 0 || drawn)
      ++drawnFor;
  }
  kill(pid, SIGINT);
  const int status = Wait(pid);
  ASSERT_GE(drawnFor, 0) << "no picture was drawn";
  EXPECT_FALSE(pictureFirst) << "the picture was put in place before the audio";
  EXPECT_EQ(status, 128 + SIGINT);
  EXPECT_TRUE(ReadBytes(out) == previousAudio) << "the audio was replaced";
  EXPECT_TRUE(ReadBytes(png) == previousPicture) << "the picture was replaced";
  EXPECT_EQ(Names(dir.Path()), names);
}

TEST(Tool, AStandardInputThatStartsPartWayIntoAFileIsJudgedFromWhereItStands)
{
  testsupport::TempFolder dir;
  const std::string first = dir.File("first.wav"), second = dir.File("second.wav"), out = dir.File("out.wav");
  ASSERT_TRUE(WriteAudio(first, Noise(30000, 0.1f), 2, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  ASSERT_TRUE(WriteAudio(second, Noise(20000, 0.2f), 2, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const std::string a = ReadBytes(first), b = ReadBytes(second);
  // Standard input a file whose first part a reader before auhost took.
  const struct {
    std::string bytes;
    size_t skipped;
    int status;
    const char* err;
  } rows[] = {
    {a + b, a.size(), 0, ""},
    {a + b.substr(0, b.size() / 2), a.size(), 1, "- ended after 9994 frames, though its header declares 20000"},
  };
  for (const auto& row : rows) {
    const std::string file = dir.File("joined.bin");
    std::ofstream(file, std::ios::binary) << row.bytes;
    fs::remove(out);
    const std::vector<std::string> args{"process", "-", out};
    const std::vector<const char*> argv = Argv(args);
    const std::string err = dir.File("err.txt");
    const pid_t pid = fork();
    if (pid == 0) {
      const int in = open(file.c_str(), O_RDONLY);
      lseek(in, off_t(row.skipped), SEEK_SET);
      dup2(in, 0);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(e, 2);
      execv(AUHOST_PATH, const_cast<char* const*>(argv.data()));
      _exit(127);
    }
    EXPECT_EQ(Wait(pid), row.status) << ReadBytes(err);
    EXPECT_NE(ReadBytes(err).find(row.err), std::string::npos) << ReadBytes(err);
    SF_INFO info{};
    hosttest::ReadAudio(out, info);
    EXPECT_EQ(info.frames, row.status == 0 ? 20000 : 0);
  }
}

TEST(Tool, ParameterTextIsPlainDecimalWholeForSteppedParametersAndEveryOptionComesOnce)
{
  testsupport::TempFolder dir;
  ASSERT_TRUE(WriteAudio(dir.File("in.wav"), Noise(1000, 0.1f), 2, 44100));
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  const struct {
    std::vector<std::string> args;
    int status;
    const char* err; // empty: no message
  } rows[] = {
    {{"process", in, out, "--param", "5=0x10"}, 2, "VALUE must be a plain decimal number"},
    {{"process", in, out, "--param", "5=1e1"}, 2, "VALUE must be a plain decimal number"},
    {{"process", in, out, "--param", "5=inf"}, 2, "VALUE must be a plain decimal number"},
    {{"process", in, out, "--param", "5= 1"}, 2, "VALUE must be a plain decimal number"},
    {{"process", in, out, "--param", "5=1.2.3"}, 2, "VALUE must be a plain decimal number"},
    {{"process", in, out, "--param", "5=-"}, 2, "VALUE must be a plain decimal number"},
    {{"process", in, out, "--param", "0x5=1"}, 2, "the ID must be a whole number"},
    {{"process", in, out, "--param", "5.0=1"}, 2, "the ID must be a whole number"},
    {{"process", in, out, "--block", "0x10"}, 2, "--block 0x10: takes a whole number"},
    {{"process", in, out, "--block", "64.0"}, 2, "--block 64.0: takes a whole number"},
    {{"process", in, out, "--param", "5=-6.5"}, 0, ""},
    {{"process", in, out, "--param", "5=+6"}, 0, ""},
    {{"process", in, out, "--param", "6=50."}, 0, ""},
    {{"process", in, out, "--param", "5=-6.3"}, 0, ""},
    {{"process", in, out, "--param", "2=2"}, 0, ""},
    {{"process", in, out, "--param", "2=1.5"}, 1, "(\"Activity state\") takes whole numbers only, 0 to 2: 0 Capture"},
    {{"process", in, out, "--param", "3=0.25"}, 1, "(\"Reference mode\") takes whole numbers only, 0 to 4"},
    {{"process", in, out, "--param", "5=1", "--param", "5=2"}, 2, "parameter 5 is given twice"},
    {{"process", in, out, "--block", "64", "--block=128"}, 2, "--block is given twice"},
    {{"match", in, out, "--reference", "1", "--reference", "1"}, 2, "--reference is given twice"},
    {{"match", in, out, "--reference", "1", "--reference-file", in},
     2,
     "--reference and --reference-file both choose"},
    {{"process", "--", in, out, "--block"}, 2, "name one input file and one output file"},
    {{"process", "in.wav", "-out.wav"}, 2, "unknown option -out.wav"},
    {{"process", "--block", "64", "--", "in.wav", "-out.wav"}, 0, ""},
  };
  for (const auto& row : rows) {
    const Result r = RunAuhost(dir, row.args, 0, true);
    std::string what;
    for (const std::string& a : row.args)
      what += a + " ";
    EXPECT_EQ(r.status, row.status) << what << "\n" << r.err;
    if (*row.err) {
      EXPECT_NE(r.err.find(row.err), std::string::npos) << what << "\n" << r.err;
    }
  }
  EXPECT_TRUE(fs::exists(dir.File("-out.wav")));
}

TEST(Tool, InputThatCannotGoBackToItsStartIsReadOnceOrRefusedNeverPassedOffAsSilence)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  const std::vector<float> x = Noise(30000, 0.1f);
  ASSERT_TRUE(WriteAudio(in, x, 2, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const std::string whole = ReadBytes(in);
  const std::string cut = whole.substr(0, whole.size() / 2);
  // The same cut as a file, and cuts of an AIFF file and of one long enough
  // to capture from.
  const std::string cutWav = dir.File("cut.wav"), cutAiff = dir.File("cut.aiff"), cutLong = dir.File("long.wav");
  std::ofstream(cutWav, std::ios::binary) << cut;
  ASSERT_TRUE(WriteAudio(cutAiff, x, 2, 44100, SF_FORMAT_AIFF | SF_FORMAT_PCM_24));
  const std::string aiff = ReadBytes(cutAiff);
  std::ofstream(cutAiff, std::ios::binary) << aiff.substr(0, aiff.size() - 6000);
  std::ofstream(cutLong, std::ios::binary) << whole.substr(0, whole.size() - 4000);
  // A float file cut; one whose data size says "unknown", as a streaming
  // writer leaves it; a cut one whose data comes after thousands of chunks.
  const std::string cutFloat = dir.File("cut-float.wav"), unknown = dir.File("unknown.wav"),
                    chunky = dir.File("chunky.wav");
  ASSERT_TRUE(WriteAudio(cutFloat, x, 2, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  const std::string floats = ReadBytes(cutFloat);
  std::ofstream(cutFloat, std::ios::binary) << floats.substr(0, floats.size() - 8000);
  const size_t data = whole.find("data");
  ASSERT_NE(data, std::string::npos);
  std::ofstream(unknown, std::ios::binary) << whole.substr(0, data + 4) + "\xff\xff\xff\xff" + whole.substr(data + 8);
  std::string chunks;
  for (int i = 0; i < 5000; ++i)
    chunks += std::string("junk\0\0\0\0", 8);
  std::string many = whole.substr(0, data) + chunks + cut.substr(data);
  const uint32_t riffSize = uint32_t(whole.size() + chunks.size() - 8);
  std::memcpy(many.data() + 4, &riffSize, 4);
  std::ofstream(chunky, std::ios::binary) << many;
  const struct {
    std::vector<std::string> args;
    const std::string* input;
    int status;
    const char* err;
  } rows[] = {
    {{"match", "-", out}, &whole, 1, "cannot read - twice (it is a pipe or stream"},
    {{"match", "/dev/stdin", out}, &whole, 1, "cannot read /dev/stdin twice"},
    {{"match", "/dev/stdin", out, "--capture", in}, &whole, 0, ""},
    {{"process", "-", out}, &whole, 0, ""},
    {{"process", "-", out}, &cut, 1, "- ended after 14994 frames, though its header declares 30000"},
    {{"match", "/dev/stdin", out, "--capture", in}, &cut, 1, "ended after 14994 frames"},
    {{"process", cutWav, out}, nullptr, 1, "/cut.wav ended after 14994 frames, though its header declares 30000"},
    {{"process", cutAiff, out}, nullptr, 1, "ended after 29000 frames, though its header declares 30000"},
    {{"match", cutLong, out}, nullptr, 1, "ended after 29000 frames, though its header declares 30000"},
    {{"match", in, out, "--capture", cutLong}, nullptr, 1, "ended after 29000 frames"},
    {{"process", cutFloat, out}, nullptr, 1, "ended after 29000 frames, though its header declares 30000"},
    {{"process", unknown, out}, nullptr, 0, ""},
    {{"process", chunky, out}, nullptr, 1, "ended after 14994 frames, though its header declares 30000"},
  };
  for (const auto& row : rows) {
    fs::remove(out);
    const Result r = RunAuhost(dir, row.args, 0, false, row.input);
    const std::string what = row.args[0] + " " + row.args[1] + " " + row.args.back() + (row.input == &cut ? " (cut)" : "");
    EXPECT_EQ(r.status, row.status) << what << "\n" << r.err;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << what << "\n" << r.err;
    EXPECT_EQ(fs::exists(out), row.status == 0) << what;
    if (row.status == 0) {
      SF_INFO info{};
      const std::vector<float> y = hosttest::ReadAudio(out, info);
      ASSERT_EQ(info.frames, 30000) << what;
      if (row.args[0] == "process") {
        for (size_t i = 0; i < x.size(); i += 997)
          EXPECT_NEAR(y[i], x[i], 1.f / 32768.f) << what << " sample " << i;
      }
      double energy = 0.0;
      for (float v : y)
        energy += double(v) * v;
      EXPECT_GT(energy, 1.0) << what << ": the output is silent";
    }
  }
}

TEST(Tool, ATargetAnotherUserOwnsInAStickyFolderIsRefusedBeforeAnyAudioPlays)
{
  if (geteuid() != 0)
    GTEST_SKIP() << "needs root to act as a second user";
  testsupport::TempFolder dir;
  fs::permissions(dir.Path(), fs::perms(0755));
  const fs::path shared = dir.Path() / "shared";
  fs::create_directories(shared);
  fs::permissions(shared, fs::perms(01777));
  const std::string in = dir.File("in.wav"), out = (shared / "out.wav").string();
  ASSERT_TRUE(WriteAudio(in, Noise(44100, 0.1f), 2, 44100));
  fs::permissions(in, fs::perms(0644));
  std::ofstream(out) << "root's file";
  fs::permissions(out, fs::perms(0666));
  for (const char* command : {"process", "match"}) {
    const std::string errPath = (shared / "err.txt").string();
    const std::vector<std::string> args{command, in, out};
    const std::vector<const char*> argv = Argv(args);
    const pid_t pid = fork();
    if (pid == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0)
        _exit(126);
      // A build tree the second user cannot reach.
      if (access(AUHOST_PATH, X_OK) != 0 || access(in.c_str(), R_OK) != 0)
        _exit(125);
      const int e = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
      dup2(e, 2);
      execv(AUHOST_PATH, const_cast<char* const*>(argv.data()));
      _exit(127);
    }
    const int status = Wait(pid);
    if (status == 125)
      GTEST_SKIP() << "a second user cannot run " << AUHOST_PATH;
    EXPECT_EQ(status, 1) << command;
    const std::string err = ReadBytes(errPath);
    fs::remove(errPath);
    EXPECT_EQ(err, "auhost: " + std::string(command) + ": cannot replace " + out +
                     ": it belongs to another user, in a folder where only a file's owner may replace it; choose "
                     "another name\n")
      << command;
    EXPECT_EQ(ReadBytes(out), "root's file") << command;
    EXPECT_EQ(Names(shared), std::set<std::string>{"out.wav"}) << command;
  }
}

TEST(Tool, MessagesCarryOnePrefixCountInTheRightNumberAndSayTheSameFaultAlike)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav"), mono = dir.File("mono.wav"), one = dir.File("one.wav");
  const std::string text = dir.File("text.wav"), out = dir.File("out.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(44100, 0.1f), 2, 44100));
  std::vector<float> m(size_t(44100));
  for (size_t i = 0; i < m.size(); ++i)
    m[i] = 0.1f * std::sin(0.05f * float(i));
  ASSERT_TRUE(WriteAudio(mono, m, 1, 44100));
  ASSERT_TRUE(WriteAudio(one, {0.25f, 0.25f}, 2, 44100));
  std::ofstream(text) << "not audio";
  const struct {
    std::vector<std::string> args;
    std::string out; // in stdout
    std::string err; // in stderr
  } rows[] = {
    {{"process", in, out, "--reference", "1"}, "", "auhost: process: takes no option --reference (auhost process"},
    {{"match", in}, "", "auhost: match: name one input file and one output file"},
    {{"process", one, out}, "1 frame, the plug-in's latency of 0 samples compensated", ""},
    {{"process", mono, out}, "", "auhost: process: note: " + mono + " is mono; " + out + " is stereo"},
    {{"match", mono, out}, "", "auhost: match: note: " + mono + " is mono; " + out + " is stereo"},
    {{"match", mono, out}, "", "auhost: match: warning: the capture is only 1.00 s long"},
    {{"process", in, in}, "", "auhost: process: the output file must not be an input file; choose another name"},
    {{"match", in, in}, "", "auhost: match: the output file must not be an input file; choose another name"},
    {{"process", dir.File("none.wav"), out},
     "",
     "process: cannot read " + dir.File("none.wav") + ": No such file or directory\n"},
    {{"match", dir.File("none.wav"), out},
     "",
     "match: cannot read " + dir.File("none.wav") + ": No such file or directory\n"},
    {{"process", text, out}, "", "cannot read " + text + ": it is not a WAV or AIFF file the host can read ("},
    {{"process", dir.Path().string(), out}, "", "cannot read " + dir.Path().string() + ": it is a folder"},
    {{"process", "--help"}, "2 Processing  runs the audio through the correction filter", ""},
    {{"process", "--help"}, "process alone corrects nothing", ""},
  };
  for (const auto& row : rows) {
    const Result r = RunAuhost(dir, row.args);
    const std::string what = row.args[0] + " " + row.args[1];
    EXPECT_NE(r.out.find(row.out), std::string::npos) << what << "\n" << r.out;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << what << "\n" << r.err;
    for (const char* never : {"auhost: auhost", "System error", "note:", "warning:", " 1 samples", " 1 frames"})
      EXPECT_EQ(r.out.find(never), std::string::npos) << what << "\n" << r.out;
    for (const char* never : {"auhost: auhost", "System error", " 1 samples", " 1 frames"})
      EXPECT_EQ(r.err.find(never), std::string::npos) << what << "\n" << r.err;
  }
}

TEST(Tool, EditorRefusesWhatItCannotRunAndPrintsWhatHappenedInOrder)
{
  testsupport::TempFolder dir;
  const std::string a = dir.File("a.png"), b = dir.File("b.png");
  const struct {
    std::vector<std::string> args;
    int status;
    std::vector<std::string> out; // in stdout, in this order
    const char* err;
  } rows[] = {
    {{"editor", "--script", dir.Path().string()}, 2, {}, "is a folder; name a file of actions"},
    {{"editor", "--do", ""}, 2, {}, "auhost: editor: --do: \"\" is no action"},
    {{"editor", "--do", "# later"}, 2, {}, "is no action"},
    {{"editor", "--do", "wait -1"}, 2, {}, "wait takes seconds from 0 on"},
    {{"editor", "--do", "param 5 100"}, 1, {}, "parameter 5 (\"Gain\") takes -24 to 24 dB"},
    {{"editor", "--help"},
     0,
     {"submenu opens only while the pointer rests", "--do \"hover 100 294\" --do \"wait 1\""},
     ""},
    {{"editor", "--help"}, 0, {"--param ID=VALUE\n      sets a parameter before the editor opens and any action runs"}, ""},
    {{"editor", "--do", "png " + a, "--do", "drag 643 463 643 463", "--png", b},
     0,
     {"wrote " + a + " (650 x 470)\n", "0 \"GUI scale\" = 2\n", "wrote " + b + " (1300 x 940)\n"},
     ""},
  };
  for (const auto& row : rows) {
    const Result r = RunAuhost(dir, row.args);
    const std::string what = row.args.back();
    EXPECT_EQ(r.status, row.status) << what << "\n" << r.err;
    size_t from = 0;
    for (const std::string& o : row.out)
      if ((from = r.out.find(o, from)) == std::string::npos) {
        ADD_FAILURE() << what << ": missing or out of order: " << o << "\n" << r.out;
        break;
      }
    EXPECT_NE(r.err.find(row.err), std::string::npos) << what << "\n" << r.err;
  }
}
