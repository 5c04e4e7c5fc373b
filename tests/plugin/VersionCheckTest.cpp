// The version check against a server on the loopback interface that the
// test starts itself; never the network.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "LoopbackServer.h"
#include "TestGraphics.h"
#include "VersionCheck.h"

using testsupport::LoopbackServer;

namespace {

constexpr const char* kOwnVersion = "3.0.21";
// Short, so a silent server costs the suite little.
constexpr long kTestConnectTimeoutMs = 2000;
constexpr long kTestTotalTimeoutMs = 600;
// How long a request to a closed port or a silent server may take at most.
constexpr double kRefusedBudgetS = 1.0;
constexpr double kSilentBudgetS = 3.0;

class VersionCheck : public ::testing::Test {
protected:
  void SetUp() override
  {
    mSaved = GetVersionCheckSettings();
    // A proxy from the environment must not see loopback requests.
    setenv("no_proxy", "127.0.0.1", 1);
    ResetVersionCheckFlagsForTesting();
  }
  void TearDown() override
  {
    SetVersionCheckSettings(mSaved);
    ResetVersionCheckFlagsForTesting();
  }

  static void PointAt(const std::string& base)
  {
    VersionCheckSettings s;
    std::snprintf(s.baseAddress, sizeof(s.baseAddress), "%s", base.c_str());
    s.connectTimeoutMs = kTestConnectTimeoutMs;
    s.totalTimeoutMs = kTestTotalTimeoutMs;
    SetVersionCheckSettings(s);
  }

  static int Ask(const std::string& base, char* errorText = nullptr, int* curlCode = nullptr)
  {
    PointAt(base);
    char url[1024];
    EXPECT_TRUE(FormatVersionCheckURL("Vorelle3", url));
    char localError[1024];
    int localCode = 0;
    return VersionCheckRequest(kOwnVersion, url, errorText ? errorText : localError, curlCode ? curlCode : &localCode);
  }

  static double SecondsSince(std::chrono::steady_clock::time_point t)
  {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
  }

  VersionCheckSettings mSaved;
};

struct ReplyCase {
  const char* body;
  int code;
  const char* text;
};

} // namespace

TEST_F(VersionCheck, ServiceRepliesGiveTheirCodesAndTexts)
{
  const ReplyCase cases[] = {
    {"3.0.21", 3, "Plugin is up to date"},
    {"3.1.0", 4, "Plugin update is available"},
    {"2.9.99", 5, "Older plugin version available"},
    {"3.0", 1, "Product not found"},
    {"", 1, "Product not found"},
    {"3.0.100", 4, "Plugin update is available"},           // 30100 > 30021
    {"  3.0.21\nlatest stable", 3, "Plugin is up to date"}, // white space, then anything
    {"v3.0.21", 1, "Product not found"},
    {"99999999999999999999.0.0", 1, "Product not found"}, // no overflow on long numbers
  };
  for (const ReplyCase& c : cases) {
    SCOPED_TRACE(c.body);
    LoopbackServer server(c.body);
    char errorText[1024];
    int curlCode = -1;
    const int result = Ask(server.BaseAddress(), errorText, &curlCode);
    EXPECT_EQ(result, c.code);
    EXPECT_STREQ(VersionCheckMessage(result), c.text);
    EXPECT_EQ(curlCode, 0);
    EXPECT_EQ(server.Requests(), 1);
  }
}

TEST_F(VersionCheck, RequestAsksForTheProductByName)
{
  LoopbackServer server("3.0.21");
  Ask(server.BaseAddress());
  ASSERT_EQ(server.RequestLines().size(), 1u);
  EXPECT_EQ(server.RequestLines()[0], "GET /versioncheck?productname=Vorelle3 HTTP/1.1");
}

TEST_F(VersionCheck, RefusedPortAnswersQuicklyAsServiceNotAvailable)
{
  const auto start = std::chrono::steady_clock::now();
  char errorText[1024];
  int curlCode = -1;
  const int result = Ask("http://127.0.0.1:" + std::to_string(LoopbackServer::RefusedPort()), errorText, &curlCode);
  EXPECT_EQ(result, kVersionCheckServiceUnavailable);
  EXPECT_STREQ(VersionCheckMessage(result), "Service not available");
  EXPECT_NE(curlCode, 0);
  EXPECT_GT(std::strlen(errorText), 0u);
  EXPECT_LT(SecondsSince(start), kRefusedBudgetS);
}

TEST_F(VersionCheck, SilentServerReturnsWithinTheTotalTimeout)
{
  LoopbackServer server("", LoopbackServer::Mode::kSilent);
  const auto start = std::chrono::steady_clock::now();
  const int result = Ask(server.BaseAddress());
  const double elapsed = SecondsSince(start);
  EXPECT_EQ(result, kVersionCheckServiceUnavailable);
  EXPECT_GE(elapsed, kTestTotalTimeoutMs / 1000.0 * 0.9);
  EXPECT_LT(elapsed, kSilentBudgetS);
}

TEST_F(VersionCheck, LongReplyIsCutAtItsCapacityAndItsBeginningStillCounts)
{
  LoopbackServer server("3.1.0 " + std::string(200000, 'x'));
  EXPECT_EQ(Ask(server.BaseAddress()), kVersionCheckUpdateAvailable);
}

TEST_F(VersionCheck, WriteCallbackKeepsAtMostTheCapacity)
{
  VersionCheckReply reply;
  std::string chunk(1000, 'a');
  size_t total = 0;
  for (int i = 0; i < 4; ++i)
    total += CurlWriteCallback(chunk.data(), 1, chunk.size(), &reply);
  EXPECT_EQ(total, 4000u);
  EXPECT_EQ(reply.length, 4000u);
  // The fifth would pass 4096 bytes: the transfer is stopped.
  EXPECT_EQ(CurlWriteCallback(chunk.data(), 1, chunk.size(), &reply), 0u);
  EXPECT_EQ(reply.length, VersionCheckReply::kCapacity);
  EXPECT_TRUE(reply.overflow);
  EXPECT_EQ(reply.text[VersionCheckReply::kCapacity], '\0');
  // A size x count product that overflows is refused, not wrapped.
  VersionCheckReply other;
  EXPECT_EQ(CurlWriteCallback(chunk.data(), static_cast<size_t>(1) << 40, static_cast<size_t>(1) << 40, &other), 0u);
  EXPECT_EQ(other.length, 0u);
}

TEST_F(VersionCheck, VersionNumbersAreParsedWithBounds)
{
  struct {
    const char* text;
    bool ok;
    long long number;
  } cases[] = {
    {"3.0.21", true, 30021},      {"3.0.100", true, 30100},
    {" \t3.1.0", true, 30100},    {"3. 1. 0", true, 30100},
    {"+3.0.21", true, 30021},     {"3.0.", false, 0},
    {"3..0", false, 0},           {"", false, 0},
    {"1234567890.0.0", false, 0}, {"999999999.99.99", true, 9999999999999LL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    long long n = -7;
    EXPECT_EQ(ParseVersionNumber(c.text, n), c.ok);
    if (c.ok) {
      EXPECT_EQ(n, c.number);
    }
  }
}

TEST_F(VersionCheck, EveryResultCodeHasItsText)
{
  const char* texts[] = {"Unknown",
                         "Service not available",
                         "Product not found",
                         "Product version number error",
                         "Plugin is up to date",
                         "Plugin update is available",
                         "Older plugin version available"};
  for (int code = -1; code <= 5; ++code)
    EXPECT_STREQ(VersionCheckMessage(code), texts[code + 1]);
  EXPECT_STREQ(VersionCheckMessage(6), "Unknown");
}

TEST_F(VersionCheck, ProductNameOfThisPlugInIsSentUnchanged)
{
  char out[256];
  NormaliseProductName("Vorelle3", out);
  EXPECT_STREQ(out, "Vorelle3");
  char small[4];
  NormaliseProductName("Vorelle3", small, sizeof(small));
  EXPECT_STREQ(small, "Vor");
}

TEST_F(VersionCheck, UrlThatDoesNotFitIsRefused)
{
  PointAt("http://127.0.0.1:1");
  char url[1024];
  EXPECT_FALSE(FormatVersionCheckURL(std::string(1100, 'n').c_str(), url));
  EXPECT_STREQ(url, "");
  ASSERT_TRUE(FormatVersionCheckURL("Vorelle3", url));
  EXPECT_STREQ(url, "http://127.0.0.1:1/versioncheck?productname=Vorelle3");
}

TEST_F(VersionCheck, RequestedCheckShowsItsAnswerInABox)
{
  using namespace testsupport;
  TestDelegate dlg;
  dlg.SetMakeGraphicsFunc([](plugin::igraphics::IGEditorDelegate& d) { return new TestGraphics(d, 300, 200); });
  dlg.OpenWindow(nullptr);
  auto* g = static_cast<TestGraphics*>(dlg.GetGraphics());
  g->TakeLog();

  LoopbackServer newer("3.1.0");
  PointAt(newer.BaseAddress());
  EXPECT_TRUE(VersionCheckResultText("Vorelle3", kOwnVersion, g));
  LoopbackServer same("3.0.21");
  PointAt(same.BaseAddress());
  EXPECT_FALSE(VersionCheckResultText("Vorelle3", kOwnVersion, g));
  PointAt("http://127.0.0.1:" + std::to_string(LoopbackServer::RefusedPort()));
  EXPECT_FALSE(VersionCheckResultText("Vorelle3", kOwnVersion, nullptr)); // no editor: no box

  const std::vector<std::string> expected = {"MessageBox Check for update: Plugin update is available",
                                             "MessageBox Check for update: Plugin is up to date"};
  EXPECT_EQ(g->TakeLog(), expected);
  dlg.CloseWindow();
}

TEST_F(VersionCheck, AutomaticCheckIsClaimedOncePerProcess)
{
  EXPECT_TRUE(ClaimAutomaticVersionCheck());
  EXPECT_FALSE(ClaimAutomaticVersionCheck());
  EXPECT_FALSE(ClaimAutomaticVersionCheck());
  EXPECT_FALSE(IsUpdateAvailable());
  SetUpdateAvailable(true);
  EXPECT_TRUE(IsUpdateAvailable());
}
