// The host's validation of the built bundle, one test per check, and the
// auhost tool's validate command.
#include <gtest/gtest.h>

#include <CoreFoundation/CoreFoundation.h>

#include <cstdio>
#include <memory>
#include <string>

#include "AUBundle.h"
#include "SharedBundle.h"
#include "AUValidator.h"

namespace {

class BundleCheck : public testing::TestWithParam<std::string> {};

std::string TestName(const testing::TestParamInfo<std::string>& info)
{
  std::string name;
  for (char c : info.param)
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

} // namespace

TEST(Bundle, LoadsWithItsComponentDescription)
{
  ASSERT_TRUE(SharedBundle().Error().empty()) << SharedBundle().Error();
  EXPECT_EQ(SharedBundle().Identifier(), "com.Zelvant.audiounit.Vorelle3");
  EXPECT_EQ(SharedBundle().Description().componentType, 0x61756678u);    // aufx
  EXPECT_EQ(SharedBundle().Description().componentSubType, 0x5A563630u); // ZV60
  EXPECT_EQ(SharedBundle().Description().componentManufacturer, 0x5A564E58u);
  EXPECT_EQ(SharedBundle().Version(), 196629u);
  EXPECT_NE(SharedBundle().Entry(), nullptr);
  // The bundle a host registers carries the version text beside the packed one.
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(CFSTR("com.Zelvant.audiounit.Vorelle3"));
  ASSERT_NE(bundle, nullptr);
  CFTypeRef version = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleVersion"));
  ASSERT_NE(version, nullptr);
  char text[32] = "";
  CFStringGetCString(static_cast<CFStringRef>(version), text, sizeof(text), kCFStringEncodingUTF8);
  EXPECT_STREQ(text, "3.0.21");
}

TEST(Bundle, AMissingBundleSaysWhatFailed)
{
  host::AUBundle bundle;
  EXPECT_FALSE(bundle.Load("/nonexistent/Nothing.component"));
  EXPECT_NE(bundle.Error().find("Info.plist"), std::string::npos);
}

TEST_P(BundleCheck, Passes)
{
  ASSERT_TRUE(SharedBundle().Error().empty()) << SharedBundle().Error();
  host::AUValidator validator(SharedBundle());
  const host::CheckResult result = validator.RunCheck(GetParam());
  EXPECT_TRUE(result.mPassed || result.mSkipped) << result.mDetail;
}

INSTANTIATE_TEST_SUITE_P(Validation, BundleCheck, testing::ValuesIn(host::AUValidator::CheckNames()), TestName);

TEST(AuhostTool, ValidatePrintsOneLinePerCheckAndChecksTheEditorsView)
{
  const std::string command = std::string(AUHOST_PATH) + " validate 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  std::string output;
  char line[512];
  while (std::fgets(line, sizeof(line), pipe.get()))
    output += line;
  const int status = pclose(pipe.release());
  size_t lines = 0;
  for (const char* mark : {"PASS  ", "SKIP  "})
    for (size_t pos = output.find(mark); pos != std::string::npos; pos = output.find(mark, pos + 1))
      ++lines;
  EXPECT_EQ(lines, host::AUValidator::CheckNames().size()) << output;
  // The plug-in offers its editor: the view factory is checked, not skipped.
  EXPECT_NE(output.find("PASS  view factory named by the CocoaUI property"), std::string::npos) << output;
  const std::string summary = std::to_string(lines) + " of " + std::to_string(lines) + " checks passed\n";
  EXPECT_NE(output.find(summary), std::string::npos) << output;
  EXPECT_EQ(status, 0) << output;
}
