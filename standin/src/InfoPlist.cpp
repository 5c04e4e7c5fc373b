#include "InfoPlist.h"

#include <fstream>
#include <sstream>

namespace standin::cf {
namespace {

std::string Unescape(const std::string& s)
{
  static const std::pair<const char*, char> kEntities[] = {
    {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < s.size();) {
    bool matched = false;
    for (const auto& [entity, c] : kEntities) {
      const std::string e(entity);
      if (s.compare(i, e.size(), e) == 0) {
        out.push_back(c);
        i += e.size();
        matched = true;
        break;
      }
    }
    if (!matched)
      out.push_back(s[i++]);
  }
  return out;
}

// Scans tags in order; depth counts open <dict>/<array> elements.
class Scanner {
public:
  explicit Scanner(const std::string& t) : text(t) {}

  // Next tag name (with a leading '/' for end tags); "" at the end.
  std::string NextTag(std::string* before = nullptr, bool* selfClosing = nullptr)
  {
    const size_t open = text.find('<', pos);
    if (open == std::string::npos)
      return "";
    if (before)
      *before = text.substr(pos, open - pos);
    const size_t close = text.find('>', open);
    if (close == std::string::npos)
      return "";
    std::string tag = text.substr(open + 1, close - open - 1);
    pos = close + 1;
    if (selfClosing)
      *selfClosing = !tag.empty() && tag.back() == '/';
    const size_t space = tag.find_first_of(" \t\r\n/", 1);
    return space == std::string::npos ? tag : tag.substr(0, space);
  }

  // Text up to the end tag of name; false when there is none.
  bool TextUntilEnd(const std::string& name, std::string& out)
  {
    const std::string end = "</" + name + ">";
    const size_t at = text.find(end, pos);
    if (at == std::string::npos)
      return false;
    out = Unescape(text.substr(pos, at - pos));
    pos = at + end.size();
    return true;
  }

private:
  const std::string& text;
  size_t pos = 0;
};

bool IsSkippable(const std::string& tag) { return tag.empty() || tag[0] == '?' || tag[0] == '!'; }

} // namespace

bool ParseInfoPlistStrings(const std::string& text, std::map<std::string, std::string>& out)
{
  Scanner scan(text);
  std::string tag;
  do {
    tag = scan.NextTag();
  } while (!tag.empty() && (IsSkippable(tag) || tag == "plist"));
  if (tag != "dict")
    return false;
  std::string key;
  int depth = 0; // nesting below the top-level dictionary
  for (;;) {
    bool selfClosing = false;
    tag = scan.NextTag(nullptr, &selfClosing);
    if (tag.empty())
      return false;
    if (IsSkippable(tag))
      continue;
    if (selfClosing) {
      key.clear();
      continue;
    }
    if (tag == "/dict" || tag == "/array") {
      if (depth == 0)
        return true;
      --depth;
      continue;
    }
    if (tag == "dict" || tag == "array") {
      ++depth;
      key.clear();
      continue;
    }
    std::string value;
    if (!scan.TextUntilEnd(tag, value))
      return false;
    if (depth > 0)
      continue;
    if (tag == "key") {
      key = value;
    } else {
      if (tag == "string" && !key.empty())
        out[key] = value;
      key.clear();
    }
  }
}

bool ReadInfoPlistStrings(const std::string& path, std::map<std::string, std::string>& out)
{
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream text;
  text << in.rdbuf();
  return ParseInfoPlistStrings(text.str(), out);
}

} // namespace standin::cf
