#pragma once
// Online version check: one synchronous HTTP(S) GET of
// "<base>/versioncheck?productname=<name>" whose reply begins with the
// current version "major.minor.patch".
//
// Threads: the requests block the calling thread (the host's main thread)
// for at most the total time-out; libcurl is initialised once per process
// and never signals. The settings and the two process-wide flags are safe to
// touch from any thread.
#include <cstddef>

namespace plugin::igraphics {
class IGraphics;
}

// Result codes of VersionCheckRequest.
enum EVersionCheckResult {
  kVersionCheckNoHandle = -1,
  kVersionCheckServiceUnavailable = 0,
  kVersionCheckProductNotFound = 1,
  kVersionCheckVersionError = 2, // never produced by a request
  kVersionCheckUpToDate = 3,
  kVersionCheckUpdateAvailable = 4,
  kVersionCheckOlderAvailable = 5,
};

// Where and how long to ask. The base address is scheme, host and optional
// port without a trailing "/" ("https://host", "http://127.0.0.1:8080");
// the maker's service unless SetVersionCheckSettings says otherwise.
struct VersionCheckSettings {
  static constexpr int kMaxBaseAddress = 512;
  char baseAddress[kMaxBaseAddress] = {};
  long connectTimeoutMs = 25000;
  long totalTimeoutMs = 30000;
};

VersionCheckSettings GetVersionCheckSettings();
void SetVersionCheckSettings(const VersionCheckSettings& settings);

// The reply body as received: at most kCapacity bytes are kept, and a longer
// reply stops the transfer (the kept beginning is still parsed).
struct VersionCheckReply {
  static constexpr std::size_t kCapacity = 4096;
  char text[kCapacity + 1] = {};
  std::size_t length = 0;
  bool overflow = false;
};

// Writes the service's name for a product into out (outSize bytes, always
// terminated). This plug-in's name is sent unchanged.
void NormaliseProductName(const char* name, char* out, std::size_t outSize = 256);

// libcurl's write function: appends size x count bytes to reply and returns
// that number, or 0 (abort) once the reply would pass its capacity.
std::size_t CurlWriteCallback(char* data, std::size_t size, std::size_t count, void* reply);

// "a.b.c" at the start of text (leading white space skipped, each number an
// optional sign and at most 9 digits) as a x 10000 + b x 100 + c; false when
// the text does not begin with three such numbers.
bool ParseVersionNumber(const char* text, long long& number);

// The request to url compared with ownVersion ("3.0.21"). errorText (1024
// bytes, may be null) gets libcurl's text of its result, curlCode (may be
// null) the result itself (-1 when no transfer was made).
int VersionCheckRequest(const char* ownVersion, const char* url, char* errorText, int* curlCode);

// The user-facing text of a result code ("Unknown" for any other code).
const char* VersionCheckMessage(int result);

// "<base>/versioncheck?productname=<productName>" into out (1024 bytes);
// false when it does not fit.
bool FormatVersionCheckURL(const char* productName, char* out, std::size_t outSize = 1024);

// The requested check: builds the URL, asks, shows the result's text in a
// box titled "Check for update" on ui when one is given, and returns whether
// an update is available.
bool VersionCheckResultText(const char* productName, const char* ownVersion, plugin::igraphics::IGraphics* ui);

// The automatic check runs once per process, whichever instance asks first:
// true for exactly one caller (which then runs the request).
bool ClaimAutomaticVersionCheck();
// Set from the last check's result; the editors' update indicators follow it.
bool IsUpdateAvailable();
void SetUpdateAvailable(bool available);
// Clears both process-wide flags; for tests that run several checks in one process.
void ResetVersionCheckFlagsForTesting();
