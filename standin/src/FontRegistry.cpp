#include "FontRegistry.h"

#include "CFInternal.h"
#include "FontFaces.h"
#include "FoundationInternal.h"

#include <standin/Testing.h>

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

namespace standin::ct {
namespace {

namespace fs = std::filesystem;

struct FontFile {
  bool read = false;
  uintmax_t size = 0;
  fs::file_time_type time;
  std::vector<FaceNames> faces;
};

struct Registry {
  std::mutex mutex;
  std::vector<std::string> systemFolders;
  bool systemFoldersSet = false;
  std::map<std::string, FontFile> files;
  std::vector<std::string> missing;
};

Registry& State()
{
  static Registry* r = new Registry();
  return *r;
}

std::vector<std::string> DefaultSystemFolders()
{
  return {ns::SystemRootPath() + "/Library/Fonts", "/usr/share/fonts"};
}

bool IsFontFile(const fs::path& path)
{
  const std::string ext = path.extension().string();
  for (const char* known : {".ttf", ".otf", ".ttc", ".otc"}) {
    if (strcasecmp(ext.c_str(), known) == 0)
      return true;
  }
  return false;
}

std::vector<fs::path> FontFilesIn(const std::string& folder)
{
  std::vector<fs::path> found;
  std::error_code ec;
  if (!fs::is_directory(folder, ec))
    return found;
  for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError) && IsFontFile(it->path()))
      found.push_back(it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

const FontFile& Faces(Registry& r, const fs::path& path)
{
  std::error_code ec;
  const uintmax_t size = fs::file_size(path, ec);
  const fs::file_time_type time = fs::last_write_time(path, ec);
  FontFile& file = r.files[path.string()];
  if (file.read && file.size == size && file.time == time)
    return file;
  file = FontFile{true, size, time, {}};
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  file.faces = ReadFaceNames(bytes.data(), bytes.size());
  return file;
}

} // namespace

std::string LocateFont(const std::string& family, const std::string& style)
{
  Registry& r = State();
  std::vector<std::string> folders = cf::BundleResourceFolders();
  folders.push_back(ns::UserHomePath() + "/Library/Fonts");
  std::lock_guard<std::mutex> lock(r.mutex);
  const std::vector<std::string>& system = r.systemFoldersSet ? r.systemFolders : DefaultSystemFolders();
  folders.insert(folders.end(), system.begin(), system.end());
  for (const std::string& folder : folders) {
    for (const fs::path& path : FontFilesIn(folder)) {
      for (const FaceNames& face : Faces(r, path).faces) {
        if (FaceMatches(face, family, style))
          return path.string();
      }
    }
  }
  r.missing.push_back(family + "/" + style);
  std::fprintf(stderr, "standin: no installed font of family \"%s\" and style \"%s\"\n", family.c_str(), style.c_str());
  return "";
}

void SetSystemFontFolders(const std::vector<std::string>& folders)
{
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.systemFolders = folders;
  r.systemFoldersSet = true;
}

std::vector<std::string> MissingFontRequests()
{
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.missing;
}

void ResetFontRegistry()
{
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.systemFolders.clear();
  r.systemFoldersSet = false;
  r.missing.clear();
}

} // namespace standin::ct

namespace standin {

void SetSystemFontFolders(const std::vector<std::string>& folders) { ct::SetSystemFontFolders(folders); }
std::vector<std::string> MissingFontRequests() { return ct::MissingFontRequests(); }

} // namespace standin
