#include "FontTestKit.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace fonttest {

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

bool RunScript(const std::string& args, std::string* output = nullptr)
{
  const std::string command = std::string(FONTTOOLS_PYTHON) + " " + Quote(FONT_TABLES_SCRIPT) + " " + args;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe)
    return false;
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe))
    text += buffer;
  const int status = ::pclose(pipe);
  if (output)
    *output = text;
  return status == 0;
}

void Align4(std::vector<uint8_t>& b)
{
  while (b.size() % 4)
    b.push_back(0);
}

} // namespace

void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
  b[at] = uint8_t(v >> 8);
  b[at + 1] = uint8_t(v);
}

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
  PutU16(b, at, uint16_t(v >> 16));
  PutU16(b, at + 2, uint16_t(v));
}

Tables ReadWithFontTools(const std::string& path, int face)
{
  Tables t;
  std::string text;
  if (!RunScript("metrics " + Quote(path) + " " + std::to_string(face), &text))
    return t;
  const std::map<std::string, int*> numbers = {{"unitsPerEm", &t.unitsPerEm},
                                               {"macStyle", &t.macStyle},
                                               {"ascent", &t.ascent},
                                               {"descent", &t.descent},
                                               {"lineGap", &t.lineGap}};
  std::istringstream lines(text);
  std::string key;
  while (lines >> key) {
    std::string value;
    std::getline(lines, value);
    if (!value.empty() && value[0] == ' ')
      value.erase(0, 1);
    if (key == "family" || key == "style")
      (key == "family" ? t.family : t.style) = value;
    else if (const auto n = numbers.find(key); n != numbers.end())
      *n->second = std::stoi(value);
  }
  return t;
}

std::string OutputDir()
{
  std::filesystem::create_directories(FONT_TEST_OUTPUT);
  return FONT_TEST_OUTPUT;
}

// Runs the script's command with the output first, written beside and renamed;
// the suite's processes run in parallel, so each writes its own part file.
std::string Make(const std::string& out, const std::string& command, const std::string& args)
{
  const std::string tmp = out + "." + std::to_string(::getpid()) + ".part";
  if (!RunScript(command + " " + Quote(tmp) + " " + args))
    return "";
  std::filesystem::rename(tmp, out);
  return out;
}

std::string PairCollection()
{
  static const std::string path = Make(OutputDir() + "/VorellePair.ttc", "collection",
                                       "'Vorelle Pair' " + Quote(kRoboto + "Roboto-Regular.ttf") + " Regular " +
                                         Quote(kRoboto + "Roboto-Bold.ttf") + " Bold");
  return path;
}

std::string TwoFamilyCollection()
{
  static const std::string path =
    Make(OutputDir() + "/VorelleTwoFamilies.ttc", "families",
         Quote(kRoboto + "Roboto-Regular.ttf") + " 'Vorelle One' Regular " + Quote(kRoboto + "Roboto-Bold.ttf") +
           " 'Vorelle One' Bold " + Quote(kDejaVu + "DejaVuSans.ttf") + " 'Vorelle Two' Regular " +
           Quote(kDejaVu + "DejaVuSans-Bold.ttf") + " 'Vorelle Two' Bold");
  return path;
}

std::string EditedRoboto(const std::string& name, int upm, int ascent, int descent)
{
  return Make(OutputDir() + "/" + name + ".ttf", "edit",
              Quote(kRoboto + "Roboto-Regular.ttf") + " " + std::to_string(upm) + " " + std::to_string(ascent) + " " +
                std::to_string(descent));
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

SynthFont MakeSynthFont(const std::u16string& family, const std::string& macFamily, const std::string& style, int upm,
                        int ascent, int descent, int lineGap)
{
  SynthFont f;
  std::vector<uint8_t>& b = f.bytes;
  b.assign(12 + 3 * 16, 0);
  PutU32(b, 0, 0x00010000);
  PutU16(b, 4, 3);

  f.headAt = b.size();
  b.resize(b.size() + 54, 0);
  PutU16(b, f.headAt + 18, uint16_t(upm));
  PutU16(b, f.headAt + 44, 1); // bold
  Align4(b);

  f.hheaAt = b.size();
  b.resize(b.size() + 36, 0);
  PutU16(b, f.hheaAt + 4, uint16_t(int16_t(ascent)));
  PutU16(b, f.hheaAt + 6, uint16_t(int16_t(descent)));
  PutU16(b, f.hheaAt + 8, uint16_t(int16_t(lineGap)));
  Align4(b);

  // Records: (3,1,1033) family and style, then (1,0,0) family.
  std::vector<uint8_t> strings;
  struct Record {
    uint16_t platform, encoding, language, id;
    size_t at, length;
  };
  std::vector<Record> records;
  auto addUTF16 = [&](uint16_t id, const std::u16string& text) {
    records.push_back({3, 1, 1033, id, strings.size(), text.size() * 2});
    for (char16_t c : text) {
      strings.push_back(uint8_t(c >> 8));
      strings.push_back(uint8_t(c));
    }
  };
  addUTF16(1, family);
  std::u16string style16(style.begin(), style.end());
  addUTF16(2, style16);
  records.push_back({1, 0, 0, 1, strings.size(), macFamily.size()});
  strings.insert(strings.end(), macFamily.begin(), macFamily.end());

  f.nameAt = b.size();
  f.nameRecordsAt = f.nameAt + 6;
  const size_t header = 6 + 12 * records.size();
  f.stringsAt = f.nameAt + header;
  b.resize(f.nameAt + header, 0);
  PutU16(b, f.nameAt + 2, uint16_t(records.size()));
  PutU16(b, f.nameAt + 4, uint16_t(header));
  for (size_t i = 0; i < records.size(); ++i) {
    const size_t r = f.nameRecordsAt + 12 * i;
    PutU16(b, r, records[i].platform);
    PutU16(b, r + 2, records[i].encoding);
    PutU16(b, r + 4, records[i].language);
    PutU16(b, r + 6, records[i].id);
    PutU16(b, r + 8, uint16_t(records[i].length));
    PutU16(b, r + 10, uint16_t(records[i].at));
  }
  b.insert(b.end(), strings.begin(), strings.end());
  const size_t nameLength = b.size() - f.nameAt;

  const char* tags[] = {"head", "hhea", "name"};
  const size_t at[] = {f.headAt, f.hheaAt, f.nameAt};
  const size_t length[] = {54, 36, nameLength};
  for (int i = 0; i < 3; ++i) {
    const size_t r = 12 + 16 * i;
    std::copy(tags[i], tags[i] + 4, b.begin() + r);
    PutU32(b, r + 8, uint32_t(at[i]));
    PutU32(b, r + 12, uint32_t(length[i]));
  }
  return f;
}

} // namespace fonttest
