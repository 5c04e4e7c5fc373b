// Folder scan into a popup menu of matching files.

#include "IDirBrowseControlBase.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

namespace plugin::igraphics {

namespace {

enum class Kind { kOther, kFolder, kFile };

// Folders are entered only when the entry is one itself, never through a
// link, so a link back up cannot make the scan endless.
Kind KindOf(const std::string& path, const dirent& e)
{
  if (e.d_type == DT_DIR)
    return Kind::kFolder;
  if (e.d_type == DT_REG)
    return Kind::kFile;
  struct stat st;
  if (e.d_type == DT_LNK)
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? Kind::kFile : Kind::kOther;
  if (e.d_type == DT_UNKNOWN && lstat(path.c_str(), &st) == 0)
    return S_ISDIR(st.st_mode) ? Kind::kFolder : (S_ISREG(st.st_mode) ? Kind::kFile : Kind::kOther);
  return Kind::kOther;
}

} // namespace

IDirBrowseControlBase::IDirBrowseControlBase(const IRECT& bounds, const char* extension, bool showFileExtensions,
                                             bool showEmptySubmenus)
: IControl(bounds), mShowEmptySubmenus(showEmptySubmenus), mShowFileExtensions(showFileExtensions),
  mExtension(extension ? extension : "")
{
}

void IDirBrowseControlBase::AddPath(const char* path, const char* label)
{
  mPaths.emplace_back(path ? path : "");
  mPathLabels.emplace_back(label ? label : "");
}

const char* IDirBrowseControlBase::GetFilePath(int tag) const
{
  return tag >= 0 && tag < static_cast<int>(mFiles.size()) ? mFiles[static_cast<size_t>(tag)].Get() : nullptr;
}

void IDirBrowseControlBase::SetupMenu()
{
  mFiles.clear();
  mItems.clear();
  mMainMenu.Clear();
  mMainMenu.SetChosenItemIdx(-1);
  mSelectedItemIndex = -1;
  if (mPaths.size() == 1)
    ScanDirectory(mPaths[0].Get(), mMainMenu);
  else
    for (size_t i = 0; i < mPaths.size(); ++i) {
      auto* sub = new IPopupMenu();
      if (mMainMenu.AddItem(mPathLabels[i].Get(), sub, static_cast<int>(i)))
        ScanDirectory(mPaths[i].Get(), *sub);
    }
  CollectItems(mMainMenu);
}

void IDirBrowseControlBase::ScanDirectory(const char* path, IPopupMenu& menu)
{
  DIR* dir = path ? opendir(path) : nullptr;
  if (!dir)
    return;
  const int extLen = mExtension.GetLength();
  while (const dirent* e = readdir(dir)) {
    const char* name = e->d_name;
    if (name[0] == '.')
      continue;
    const std::string full = std::string(path) + "/" + name;
    const Kind kind = KindOf(full, *e);
    if (kind == Kind::kFolder) {
      auto* sub = new IPopupMenu();
      if (menu.AddItem(name, sub, -2))
        ScanDirectory(full.c_str(), *sub);
    } else if (kind == Kind::kFile && extLen > 0) {
      // The last occurrence of the extension must end the name, after something.
      const char* at = nullptr;
      for (const char* p = std::strstr(name, mExtension.Get()); p; p = std::strstr(p + 1, mExtension.Get()))
        at = p;
      if (!at || at == name || std::strlen(at) != static_cast<size_t>(extLen))
        continue;
      const std::string label = mShowFileExtensions ? std::string(name) : std::string(name, at);
      if (menu.AddItem(new IPopupMenu::Item(label.c_str(), IPopupMenu::Item::kNoFlags, static_cast<int>(mFiles.size())),
                       -2))
        mFiles.emplace_back(full.c_str());
    }
  }
  closedir(dir);
  if (!mShowEmptySubmenus)
    RemoveEmptySubmenus(menu);
}

void IDirBrowseControlBase::CollectItems(IPopupMenu& menu)
{
  for (int i = 0; i < menu.NItems(); ++i) {
    IPopupMenu::Item* item = menu.GetItem(i);
    if (IPopupMenu* sub = item->GetSubmenu())
      CollectItems(*sub);
    else
      mItems.push_back(item);
  }
}

void IDirBrowseControlBase::RemoveEmptySubmenus(IPopupMenu& menu)
{
  for (int i = menu.NItems() - 1; i >= 0; --i)
    if (IPopupMenu* sub = menu.GetItem(i)->GetSubmenu(); sub && sub->NItems() == 0)
      menu.RemoveItem(i);
}

} // namespace plugin::igraphics
