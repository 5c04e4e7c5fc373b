// Outputs whose last steps fail: the flush to the disk, the close or the
// rename of the staged audio or picture file. The job says so, the previous
// files stay (a picture is never put in place before its audio), and no
// temporary file is left.
#include <gtest/gtest.h>
#include <standin/Host.h>

#include <cerrno>
#include <fstream>
#include <string>

#include "AUFileProcessor.h"
#include "HostFiles.h"
#include "PictureOutput.h"
#include "SharedBundle.h"
#include "SpectrumMatch.h"
#include "StagedFile.h"
#include "TempFolder.h"

namespace {

using host::StagedStep;

std::string gFailing;
StagedStep gStep;

int FailOne(const std::string& target, StagedStep step) { return target == gFailing && step == gStep ? EIO : 0; }

struct FaultFor {
  FaultFor(const std::string& target, StagedStep step)
  {
    gFailing = target;
    gStep = step;
    host::SetStagedFaultForTesting(FailOne);
  }
  ~FaultFor() { host::SetStagedFaultForTesting(nullptr); }
};

} // namespace

TEST(StagedOutput, AFailedFlushCloseOrRenameIsReportedAndKeepsThePreviousFiles)
{
  testsupport::TempFolder dir;
  const std::string savedHome = standin::UserHome();
  standin::SetUserHome(dir.File("home"), true);
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav"), png = dir.File("editor.png");
  ASSERT_TRUE(hosttest::WriteAudio(in, std::vector<float>(2 * 20000, 0.1f), 2, 44100));
  const std::string previousAudio = "the previous good output", previousPicture = "the previous picture";
  std::ofstream(out) << previousAudio;
  std::ofstream(png) << previousPicture;
  const auto names = hosttest::Names(dir.Path());

  enum Job { kProcess, kMatch, kPicture };
  const struct {
    Job job;
    std::string failing;
    StagedStep step;
    std::string err;
  } rows[] = {
    {kProcess, out, StagedStep::kSync, "writing " + out + " failed: Input/output error; the previous file"},
    {kProcess, out, StagedStep::kClose, "writing " + out + " failed when closing it: Input/output error"},
    {kProcess, out, StagedStep::kRename, "cannot put " + out + " in place: Input/output error"},
    {kPicture, png, StagedStep::kSync, "writing " + png + " failed: Input/output error; the previous file"},
    {kPicture, png, StagedStep::kClose, "writing " + png + " failed when closing it: Input/output error"},
    {kPicture, png, StagedStep::kRename, "cannot put " + png + " in place: Input/output error"},
    // The picture is put in place only with the audio.
    {kMatch, out, StagedStep::kRename, "cannot put " + out + " in place: Input/output error"},
  };
  for (const auto& row : rows) {
    std::string error;
    {
      const FaultFor fault(row.failing, row.step);
      if (row.job == kMatch) {
        host::MatchOptions options;
        options.mInPath = in;
        options.mOutPath = out;
        options.mEditorPng = png;
        host::MatchReport report;
        error = host::RunSpectrumMatch(SharedBundle(), options, report);
      } else if (row.job == kProcess) {
        error = host::ProcessFile(SharedBundle(), in, out, {});
      } else {
        error = host::WritePictureFile(png, std::vector<uint8_t>(5000, 7));
      }
    }
    const std::string what = "job " + std::to_string(int(row.job)) + ", step " + std::to_string(int(row.step));
    EXPECT_NE(error.find(row.err), std::string::npos) << what << "\n" << error;
    EXPECT_TRUE(hosttest::ReadBytes(out) == previousAudio) << what << ": the audio was replaced";
    EXPECT_TRUE(hosttest::ReadBytes(png) == previousPicture) << what << ": the picture was replaced";
    EXPECT_EQ(hosttest::Names(dir.Path()), names) << what;
  }
  standin::SetUserHome(savedHome, false);
}
