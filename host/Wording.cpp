#include "Wording.h"

namespace host {

std::string CountOf(long long n, const char* singular)
{
  return std::to_string(n) + " " + singular + (n == 1 ? "" : "s");
}

std::string LibraryReason(const std::string& text)
{
  std::string reason = text;
  const std::string prefix = "System error : ";
  if (reason.compare(0, prefix.size(), prefix) == 0)
    reason.erase(0, prefix.size());
  while (!reason.empty() && (reason.back() == '.' || reason.back() == '\n' || reason.back() == ' '))
    reason.pop_back();
  return reason.empty() ? "no reason given" : reason;
}

} // namespace host
