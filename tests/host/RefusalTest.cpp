// What auhost refuses before any audio plays, and the files it leaves as
// they were then: reference files the plug-in cannot use, an editor picture
// named like an input or the output, picture and audio targets that are not
// regular files, and a picture the disk has no room for.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "AuhostRun.h"
#include "HostFiles.h"
#include "ReferenceTwo.h"
#include "TempFolder.h"
#include "TestImageCodec.h"

namespace {

namespace fs = std::filesystem;
using hosttest::Noise;
using hosttest::ReadBytes;
using hosttest::Result;
using hosttest::RunAuhost;
using hosttest::WriteAudio;

constexpr int kRate = 44100;

// A curve file as the plug-in writes one: magic, version, count, the
// frequencies, then the linear magnitudes, little-endian.
std::string CurveFile(const char* magic, uint32_t version, const std::vector<double>& hz, const std::vector<double>& mag)
{
  std::string bytes(magic, 4);
  auto word = [&bytes](uint64_t v, int n) {
    for (int i = 0; i < n; ++i)
      bytes += char((v >> (8 * i)) & 0xFF);
  };
  word(version, 4);
  word(hz.size(), 4);
  for (const auto* values : {&hz, &mag})
    for (double d : *values) {
      uint64_t v;
      std::memcpy(&v, &d, 8);
      word(v, 8);
    }
  return bytes;
}

// Built-in reference 2 on the plug-in's grid, with `points` points.
std::string ReferenceTwoFile(int points = hosttest::kGridPoints, const char* magic = " FER", uint32_t version = 3)
{
  std::vector<double> hz, mag;
  for (int k = 0; k < points; ++k) {
    hz.push_back(hosttest::GridFrequency(k % hosttest::kGridPoints));
    mag.push_back(hosttest::kReferenceTwo[k % hosttest::kGridPoints]);
  }
  return CurveFile(magic, version, hz, mag);
}

std::string Changed(std::string bytes, size_t at, double value)
{
  std::memcpy(bytes.data() + at, &value, 8);
  return bytes;
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool IsFifo(const std::string& path)
{
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

} // namespace

TEST(Refusal, AReferenceFileThePlugInCannotUseIsRefusedWithTheReasonAndNoOutput)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav"), previous = dir.File("previous.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(kRate, 0.1f), 2, kRate));
  ASSERT_TRUE(WriteAudio(previous, Noise(kRate, 0.2f), 2, kRate));
  const std::string good = ReferenceTwoFile();
  const size_t firstLevel = 12 + 8 * hosttest::kGridPoints;
  std::vector<double> grid(hosttest::kGridPoints), zero(hosttest::kGridPoints, 0.0);
  for (int k = 0; k < hosttest::kGridPoints; ++k)
    grid[size_t(k)] = hosttest::GridFrequency(k);
  Write(dir.File("good.ref"), good);
  Write(dir.File("empty.ref"), "");
  Write(dir.File("garbage.ref"), std::string(good.size(), '\x5a'));
  Write(dir.File("fingerprint.ref"), ReferenceTwoFile(hosttest::kGridPoints, " LRV"));
  Write(dir.File("version2.ref"), ReferenceTwoFile(hosttest::kGridPoints, " FER", 2));
  Write(dir.File("points66.ref"), ReferenceTwoFile(66));
  Write(dir.File("cut.ref"), good.substr(0, good.size() / 2));
  Write(dir.File("nan.ref"), Changed(good, firstLevel + 8 * 30, std::numeric_limits<double>::quiet_NaN()));
  Write(dir.File("negative.ref"), Changed(good, firstLevel + 8 * 30, -0.5));
  Write(dir.File("zero.ref"), CurveFile(" FER", 3, grid, zero));
  Write(dir.File("text.wav"), "RIFF, but only in words\n");
  fs::create_directory(dir.File("folder.ref"));
  ASSERT_EQ(mkfifo(dir.File("fifo.ref").c_str(), 0600), 0);
  ASSERT_TRUE(WriteAudio(dir.File("track.WAV"), Noise(kRate, 0.1f), 2, kRate));
  ASSERT_TRUE(WriteAudio(dir.File("track.aif"), Noise(kRate, 0.1f), 2, kRate, SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
  ASSERT_TRUE(WriteAudio(dir.File("silent.wav"), std::vector<float>(2 * kRate, 0.f), 2, kRate));
  ASSERT_TRUE(WriteAudio(dir.File("six.wav"), std::vector<float>(6 * 1000, 0.1f), 6, kRate));
  std::vector<float> holed = Noise(kRate, 0.1f);
  holed[777] = std::numeric_limits<float>::quiet_NaN();
  ASSERT_TRUE(WriteAudio(dir.File("nan.wav"), holed, 2, kRate));
  // References the plug-in takes but cannot steer its filter with.
  std::vector<double> reference2(hosttest::kReferenceTwo, hosttest::kReferenceTwo + hosttest::kGridPoints);
  Write(dir.File("nohz.ref"), CurveFile(" FER", 3, zero, reference2));
  Write(dir.File("tiny.ref"), CurveFile(" FER", 3, grid, std::vector<double>(grid.size(), 5e-324)));
  Write(dir.File("huge.ref"), Changed(good, firstLevel + 8 * 40, 3.5e38));
  ASSERT_TRUE(WriteAudio(dir.File("one-frame.wav"), Noise(1, 0.1f), 2, kRate));
  ASSERT_TRUE(WriteAudio(dir.File("short.wav"), Noise(16383, 0.1f), 2, kRate));
  ASSERT_TRUE(WriteAudio(dir.File("frame.wav"), Noise(16384, 0.1f), 2, kRate));
  ASSERT_TRUE(WriteAudio(dir.File("whisper.wav"), Noise(kRate, 1e-9f), 2, kRate));

  const struct {
    std::string reference;
    int status;
    std::string err;
  } rows[] = {
    {dir.File("good.ref"), 0, ""},
    {dir.File("folder.ref"), 1, "it is a folder"},
    {dir.File("fifo.ref"), 1, "it is not a regular file (a pipe or device)"},
    {"/dev/null", 1, "cannot use /dev/null as the reference: it is not a regular file"},
    {out, 1, "the output file must not be an input file"},
    {dir.File("track.WAV"), 1, "only from a file ending in .ref, .wav or .aiff"},
    {dir.File("track.aif"), 1, "only from a file ending in .ref, .wav or .aiff"},
    {dir.File("empty.ref"), 1, "the plug-in refused it (its alert: \"Error Load\"): Wrong File Type"},
    {dir.File("garbage.ref"), 1, "(its alert: \"Error Load\"): Wrong File Type"},
    {dir.File("fingerprint.ref"), 1, "Wrong File Type (it is a fingerprint file)"},
    {dir.File("version2.ref"), 1, "(its alert: \"Error Load\"): Wrong File Version"},
    {dir.File("points66.ref"), 1, "(its alert: \"Error Load\"): Wrong File (not the plug-in's number of points)"},
    {dir.File("cut.ref"), 1, "\"Error Load\"): Wrong File; it is cut short: its 67 points take 1084 bytes, and it holds 542"},
    {dir.File("nan.ref"), 1, "\"Error Load\"): Wrong File; it holds a level that is not a number"},
    {dir.File("negative.ref"), 1, "it holds a level that is negative"},
    {dir.File("zero.ref"), 1, "it holds no signal"},
    {dir.File("text.wav"), 1, "(its alert: \"Error: file corrupt or unsupported!\")"},
    {dir.File("six.wav"), 1, "(its alert: \"Error: channel count > 2!\")"},
    {dir.File("silent.wav"), 1, "it holds no signal (the recording is silent)"},
    {dir.File("nan.wav"), 1, "(its alert: \"Error: file corrupt or unsupported!\")"},
    {dir.File("nohz.ref"), 1, "\"Error Load\"): Wrong File; it holds no usable frequency"},
    {dir.File("tiny.ref"), 1, "\"Error Load\"): Wrong File; it holds no signal the plug-in can use"},
    {dir.File("huge.ref"), 1, "\"Error Load\"): Wrong File; it holds a level, 3.5e+38, beyond the largest a float"},
    {dir.File("one-frame.wav"), 1, "\"Error Load\"): it is 1 sample long, and the plug-in needs at least 16384"},
    {dir.File("short.wav"), 1, "\"Error Load\"): it is 16383 samples long"},
    {dir.File("frame.wav"), 0, ""},
    {dir.File("whisper.wav"), 1, "\"Error Load\"): no level of its spectrum lies above the plug-in's floor"},
  };
  for (const auto& row : rows) {
    fs::copy_file(previous, out, fs::copy_options::overwrite_existing);
    const Result r = RunAuhost(dir, {"match", in, out, "--reference-file", row.reference});
    EXPECT_EQ(r.status, row.status) << row.reference << "\n" << r.err;
    if (row.status == 0) {
      EXPECT_NE(r.out.find("against the reference of " + row.reference), std::string::npos) << r.out;
      EXPECT_NE(ReadBytes(out), ReadBytes(previous)) << row.reference;
      continue;
    }
    EXPECT_NE(r.err.find(row.err), std::string::npos) << row.reference << "\n" << r.err;
    EXPECT_NE(r.err.find(row.reference), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << row.reference;
    EXPECT_EQ(ReadBytes(out), ReadBytes(previous)) << row.reference;
  }
  EXPECT_TRUE(IsFifo(dir.File("fifo.ref")));
}

TEST(Refusal, TheEditorPictureIsCheckedAsTheAudioOutputIsBeforeAnyAudioPlays)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav"), capture = dir.File("capture.wav"), ref = dir.File("good.ref"),
                    out = dir.File("out.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(kRate, 0.1f), 2, kRate));
  ASSERT_TRUE(WriteAudio(capture, Noise(kRate, 0.2f), 2, kRate));
  Write(ref, ReferenceTwoFile());
  fs::create_directory(dir.File("sub"));
  fs::create_symlink(in, dir.File("link.png"));
  ASSERT_EQ(mkfifo(dir.File("fifo.png").c_str(), 0600), 0);
  const std::vector<std::string> inputs{in, capture, ref};
  std::vector<std::string> before;
  for (const std::string& f : inputs)
    before.push_back(ReadBytes(f));
  const std::vector<std::string> match{"match", in, out, "--capture", capture, "--reference-file", ref};

  const struct {
    std::string png;
    std::string err;
  } rows[] = {
    {in, "the editor picture must not be an input file"},
    {capture, "the editor picture must not be an input file"},
    {ref, "the editor picture must not be an input file"},
    {dir.File("link.png"), "the editor picture must not be an input file"},
    {dir.File("sub/../in.wav"), "the editor picture must not be an input file"},
    {out, "the editor picture must not be the audio output"},
    {dir.File("sub/../out.wav"), "the editor picture must not be the audio output"},
    {dir.File("missing/editor.png"), "the folder " + dir.File("missing") + " does not exist (make it first)"},
    {dir.File("sub"), "it is a folder; name a file"},
    {dir.File("fifo.png"), "it is not a regular file (a device, pipe or socket)"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = match;
    args.insert(args.end(), {"--editor-png", row.png});
    const Result r = RunAuhost(dir, args);
    EXPECT_EQ(r.status, 1) << row.png;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << row.png << "\n" << r.err;
    EXPECT_EQ(r.out, "") << row.png;
    EXPECT_FALSE(fs::exists(out)) << row.png;
  }
  for (size_t i = 0; i < inputs.size(); ++i)
    EXPECT_EQ(ReadBytes(inputs[i]), before[i]) << inputs[i];
  EXPECT_TRUE(IsFifo(dir.File("fifo.png")));
}

TEST(Refusal, APictureReplacesOnlyARegularFileAndOnlyWhenEveryByteIsWritten)
{
  testsupport::TempFolder dir;
  const std::string previous = "the previous picture";
  const std::string kept = dir.File("kept.png"), fifo = dir.File("fifo.png"), toFifo = dir.File("to-fifo.png");
  const std::string picture = dir.File("picture.png"), link = dir.File("link.png");
  Write(kept, previous);
  Write(picture, previous);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, toFifo);
  fs::create_symlink(picture, link);
  ASSERT_TRUE(WriteAudio(dir.File("in.wav"), Noise(1000, 0.1f), 2, kRate));

  const struct {
    std::vector<std::string> args;
    long fileLimit; // bytes; 0: no limit
    int status;
    std::string err;
  } rows[] = {
    {{"editor", "--png", fifo}, 0, 1, "cannot write " + fifo + ": it is not a regular file"},
    {{"editor", "--png", toFifo}, 0, 1, "the link leads to " + fifo + ", which is not a regular file"},
    {{"editor", "--do", "png " + fifo}, 0, 1, "cannot write " + fifo + ": it is not a regular file"},
    {{"process", dir.File("in.wav"), toFifo + ".wav"}, 0, 1, "the link leads to " + fifo},
    {{"editor", "--png", kept}, 16 * 1024, 1, "writing " + kept + " failed: File too large"},
    {{"editor", "--png", link}, 0, 0, ""},
  };
  fs::create_symlink(fifo, toFifo + ".wav");
  for (const auto& row : rows) {
    const Result r = RunAuhost(dir, row.args, row.fileLimit);
    EXPECT_EQ(r.status, row.status) << row.args.back() << "\n" << r.err;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << row.args.back() << "\n" << r.err;
  }
  EXPECT_TRUE(IsFifo(fifo));
  EXPECT_EQ(ReadBytes(kept), previous);
  // The link stays a link; the file it leads to is the picture now.
  EXPECT_TRUE(fs::is_symlink(link));
  testsupport::RGBAImage img;
  ASSERT_TRUE(testsupport::DecodeImageFile(picture.c_str(), img));
  EXPECT_EQ(img.w, 650);
  EXPECT_EQ(img.h, 470);
  const std::set<std::string> names{"kept.png", "fifo.png", "to-fifo.png", "to-fifo.png.wav",
                                    "picture.png", "link.png", "in.wav"};
  EXPECT_EQ(hosttest::Names(dir.Path()), names);
}

TEST(Refusal, TheEditorWritesNoPictureOverItsScriptAndAnswersNoDialogWithAPipeOrFolder)
{
  testsupport::TempFolder dir;
  const std::string script = dir.File("s.txt"), own = dir.File("own.txt"), fifo = dir.File("fifo.ref");
  const std::string actions = "hover 10 10\n";
  Write(script, actions);
  Write(own, "hover 10 10\npng " + dir.File("sub/../own.txt") + "\n");
  fs::create_directory(dir.File("sub"));
  fs::create_directory(dir.File("folder.vrl"));
  fs::create_symlink(script, dir.File("link.png"));
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, dir.File("to-fifo.wav"));

  const struct {
    std::vector<std::string> args;
    std::string err;
  } rows[] = {
    {{"--script", script, "--png", script}, "the picture must not be the script; choose another name for " + script},
    {{"--script", script, "--png", dir.File("sub/../s.txt")}, "the picture must not be the script"},
    {{"--script", script, "--png", dir.File("link.png")}, "the picture must not be the script"},
    {{"--script", script, "--do", "png " + dir.File("link.png")}, "the picture must not be the script"},
    {{"--script", own}, "the picture must not be the script"},
    {{"--do", "file " + fifo, "--do", "click 264 384"},
     "cannot answer a file dialog with " + fifo + ": it is not a regular file (a pipe, device or socket)"},
    {{"--do", "file " + dir.File("to-fifo.wav"), "--do", "click 98 384"}, "the link leads to " + fifo},
    {{"--do", "file /dev/null", "--do", "click 264 384"}, "/dev/null: it is not a regular file"},
    {{"--do", "file " + dir.File("folder.vrl"), "--do", "click 98 384"}, "it is a folder; name a file"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args{"editor"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const Result r = RunAuhost(dir, args);
    const std::string what = ::testing::PrintToString(row.args);
    EXPECT_EQ(r.status, 1) << what << "\n" << r.err;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << what << "\n" << r.err;
    // Refused before the editor opened: no dialog, no picture.
    EXPECT_EQ(r.out.substr(0, 200), "") << what;
  }
  EXPECT_EQ(ReadBytes(script), actions);
  EXPECT_NE(ReadBytes(own).find("png "), std::string::npos);
  EXPECT_TRUE(IsFifo(fifo));
}

TEST(Refusal, ANameTooLongForItsFolderIsRefusedBeforeAnyAudioPlays)
{
  testsupport::TempFolder dir;
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(kRate, 0.1f), 2, kRate));
  const std::string longOut = dir.File((std::string(252, 'o') + ".wav").c_str());
  const std::string longPng = dir.File((std::string(252, 'p') + ".png").c_str());
  // A folder deep enough that OUT's path fits the system's limit and its
  // temporary file's path, 8 bytes longer, does not.
  std::string deep = dir.Path().string();
  while (deep.size() < 3800)
    deep += "/" + std::string(200, 'd');
  const std::string deepOut = deep + "/" + std::string(4090 - deep.size() - 5, 'x') + ".wav";
  ASSERT_EQ(deepOut.size(), 4090u);
  fs::create_directories(fs::path(deepOut).parent_path());
  const auto names = hosttest::Names(dir.Path());

  const struct {
    std::vector<std::string> args;
    std::string err;
  } rows[] = {
    {{"process", in, longOut}, "its name is 256 bytes long, and the folder " + dir.Path().string() + " takes names of 255"},
    {{"match", in, longOut}, "its name is 256 bytes long"},
    {{"match", in, out, "--editor-png", longPng}, "cannot write " + longPng + ": its name is 256 bytes long"},
    {{"process", in, deepOut}, "cannot write " + deepOut + ": its path is too long (the system takes 4095 bytes"},
    {{"match", in, deepOut}, "its path is too long"},
  };
  for (const auto& row : rows) {
    const Result r = RunAuhost(dir, row.args);
    EXPECT_EQ(r.status, 1) << row.args[0] << " " << row.args.back().size() << "\n" << r.err;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << row.args.back().size() << "\n" << r.err;
    EXPECT_EQ(r.out, "") << row.args.back().size();
    EXPECT_EQ(hosttest::Names(dir.Path()), names) << row.args.back().size();
    EXPECT_TRUE(fs::is_empty(fs::path(deepOut).parent_path()));
  }
}
