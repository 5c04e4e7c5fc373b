#include "VersionCheck.h"

#include <curl/curl.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "IGraphics.h"

namespace {

constexpr const char* kDefaultBaseAddress = "https://service.zelvant.com";
constexpr const char* kRequestPath = "/versioncheck?productname=%s";
constexpr int kMaxVersionDigits = 9;

// The process-wide check state: settings under a mutex, flags atomic.
struct VersionCheckProcessState {
  std::mutex mutex;
  bool settingsLoaded = false;
  VersionCheckSettings settings;
  std::once_flag curlInit;
  CURLcode curlInitResult = CURLE_FAILED_INIT;
  std::atomic<bool> checkedOnce{false};
  std::atomic<bool> updateAvailable{false};
};

VersionCheckProcessState& ProcessState()
{
  static VersionCheckProcessState state;
  return state;
}

void CopyBounded(char* out, std::size_t outSize, const char* text)
{
  if (!out || outSize == 0)
    return;
  std::snprintf(out, outSize, "%s", text ? text : "");
}

// Caller holds the mutex.
void LoadDefaultSettings(VersionCheckProcessState& s)
{
  if (s.settingsLoaded)
    return;
  s.settingsLoaded = true;
  CopyBounded(s.settings.baseAddress, sizeof(s.settings.baseAddress), kDefaultBaseAddress);
}

// curl_global_init is not thread-safe and its cleanup undoes every other
// user's init in the process: run it once and never clean up.
bool EnsureCurlInitialised()
{
  VersionCheckProcessState& s = ProcessState();
  std::call_once(s.curlInit, [&s] { s.curlInitResult = curl_global_init(CURL_GLOBAL_ALL); });
  return s.curlInitResult == CURLE_OK;
}

// One "%d" as sscanf reads it, but bounded: white space, optional sign, 1 to
// kMaxVersionDigits digits. Advances p past it.
bool ParseBoundedInt(const char*& p, long long& value)
{
  while (*p && std::isspace(static_cast<unsigned char>(*p)))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
    negative = (*p++ == '-');
  int digits = 0;
  long long v = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    if (++digits > kMaxVersionDigits)
      return false;
    v = v * 10 + (*p++ - '0');
  }
  if (digits == 0)
    return false;
  value = negative ? -v : v;
  return true;
}

} // namespace

VersionCheckSettings GetVersionCheckSettings()
{
  VersionCheckProcessState& s = ProcessState();
  std::lock_guard<std::mutex> lock(s.mutex);
  LoadDefaultSettings(s);
  return s.settings;
}

void SetVersionCheckSettings(const VersionCheckSettings& settings)
{
  VersionCheckProcessState& s = ProcessState();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.settingsLoaded = true;
  s.settings = settings;
  s.settings.baseAddress[sizeof(s.settings.baseAddress) - 1] = '\0';
}

void NormaliseProductName(const char* name, char* out, std::size_t outSize)
{
  // The service knows this product under its own name.
  CopyBounded(out, outSize, name);
}

std::size_t CurlWriteCallback(char* data, std::size_t size, std::size_t count, void* replyPtr)
{
  auto* reply = static_cast<VersionCheckReply*>(replyPtr);
  if (!reply || (size != 0 && count > static_cast<std::size_t>(-1) / size))
    return 0;
  const std::size_t bytes = size * count;
  const std::size_t room = VersionCheckReply::kCapacity - reply->length;
  if (bytes > room) {
    std::memcpy(reply->text + reply->length, data, room);
    reply->length += room;
    reply->text[reply->length] = '\0';
    reply->overflow = true;
    return 0;
  }
  std::memcpy(reply->text + reply->length, data, bytes);
  reply->length += bytes;
  reply->text[reply->length] = '\0';
  return bytes;
}

bool ParseVersionNumber(const char* text, long long& number)
{
  if (!text)
    return false;
  const char* p = text;
  long long part[3];
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && *p++ != '.')
      return false;
    if (!ParseBoundedInt(p, part[i]))
      return false;
  }
  number = part[0] * 10000 + part[1] * 100 + part[2];
  return true;
}

int VersionCheckRequest(const char* ownVersion, const char* url, char* errorText, int* curlCode)
{
  if (errorText)
    errorText[0] = '\0';
  if (curlCode)
    *curlCode = -1;
  if (!EnsureCurlInitialised())
    return kVersionCheckNoHandle;
  CURL* curl = curl_easy_init();
  if (!curl)
    return kVersionCheckNoHandle;

  const VersionCheckSettings settings = GetVersionCheckSettings();
  VersionCheckReply reply;
  curl_easy_setopt(curl, CURLOPT_URL, url ? url : "");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CurlWriteCallback);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, settings.connectTimeoutMs);
  // A silent server must not hold the host's main thread indefinitely, and
  // libcurl's alarm-based resolver time-out must not signal a host process.
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, settings.totalTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  const CURLcode res = curl_easy_perform(curl);
  curl_easy_cleanup(curl);

  CopyBounded(errorText, 1024, curl_easy_strerror(res));
  if (curlCode)
    *curlCode = static_cast<int>(res);

  // A reply cut at the capacity still has its beginning, which is all that is read.
  const bool received = res == CURLE_OK || (res == CURLE_WRITE_ERROR && reply.overflow);
  if (!received)
    return kVersionCheckServiceUnavailable;
  long long service = 0, own = 0;
  if (!ParseVersionNumber(reply.text, service))
    return kVersionCheckProductNotFound;
  if (!ParseVersionNumber(ownVersion, own))
    return kVersionCheckVersionError;
  if (service == own)
    return kVersionCheckUpToDate;
  return service > own ? kVersionCheckUpdateAvailable : kVersionCheckOlderAvailable;
}

const char* VersionCheckMessage(int result)
{
  switch (result) {
  case kVersionCheckServiceUnavailable: return "Service not available";
  case kVersionCheckProductNotFound: return "Product not found";
  case kVersionCheckVersionError: return "Product version number error";
  case kVersionCheckUpToDate: return "Plugin is up to date";
  case kVersionCheckUpdateAvailable: return "Plugin update is available";
  case kVersionCheckOlderAvailable: return "Older plugin version available";
  default: return "Unknown";
  }
}

bool FormatVersionCheckURL(const char* productName, char* out, std::size_t outSize)
{
  if (!out || outSize == 0)
    return false;
  const VersionCheckSettings settings = GetVersionCheckSettings();
  char path[1024];
  const int pathLen = std::snprintf(path, sizeof(path), kRequestPath, productName ? productName : "");
  if (pathLen < 0 || static_cast<std::size_t>(pathLen) >= sizeof(path)) {
    out[0] = '\0';
    return false;
  }
  const int n = std::snprintf(out, outSize, "%s%s", settings.baseAddress, path);
  if (n < 0 || static_cast<std::size_t>(n) >= outSize) {
    out[0] = '\0';
    return false;
  }
  return true;
}

bool VersionCheckResultText(const char* productName, const char* ownVersion, plugin::igraphics::IGraphics* ui)
{
  char url[1024];
  int result = kVersionCheckServiceUnavailable;
  if (FormatVersionCheckURL(productName, url, sizeof(url))) {
    char errorText[1024];
    int curlCode = -1;
    result = VersionCheckRequest(ownVersion, url, errorText, &curlCode);
  }
  if (ui)
    ui->ShowMessageBox(VersionCheckMessage(result), "Check for update", 0);
  return result == kVersionCheckUpdateAvailable;
}

bool ClaimAutomaticVersionCheck() { return !ProcessState().checkedOnce.exchange(true); }

bool IsUpdateAvailable() { return ProcessState().updateAvailable.load(); }

void SetUpdateAvailable(bool available) { ProcessState().updateAvailable.store(available); }

void ResetVersionCheckFlagsForTesting()
{
  ProcessState().checkedOnce.store(false);
  ProcessState().updateAvailable.store(false);
}
