// The directory-browse menu built from a temporary folder tree.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "ControlsFixture.h"
#include "IDirBrowseControlBase.h"
#include "TempFolder.h"

namespace controlstest {
namespace {

struct Browser : IDirBrowseControlBase {
  using IDirBrowseControlBase::IDirBrowseControlBase;
  void Draw(IGraphics&) override {}
};

// The menu as text: items in order, submenus in brackets, files with their tag.
std::string Describe(const IPopupMenu& menu)
{
  std::string s;
  for (int i = 0; i < menu.NItems(); ++i) {
    const IPopupMenu::Item* item = menu.GetItem(i);
    if (i)
      s += " ";
    s += item->GetText();
    if (item->GetSubmenu())
      s += "[" + Describe(*item->GetSubmenu()) + "]";
    else
      s += "#" + std::to_string(item->GetTag());
  }
  return s;
}

class DirBrowse : public ::testing::Test {
protected:
  void Touch(const std::string& rel)
  {
    const std::filesystem::path p = root.Path() / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << "x";
  }
  void Folder(const std::string& rel) { std::filesystem::create_directories(root.Path() / rel); }

  testsupport::TempFolder root;
};

TEST_F(DirBrowse, MenuListsMatchingFilesSortedWithSubmenusPerFolder)
{
  for (const char* f : {"b.png", "A.png", "c.txt", ".png", "x.png.bak", ".hidden.png", "sub/z.png", "sub/Y.PNG",
                        "Sub2/deeper/k.png", "empty/nothing.txt", "empty/chain/none.jpg"})
    Touch(f);
  Folder(".secret");
  Folder("bare");
  // A link back up to the root: followed, it would nest the tree in itself.
  std::filesystem::create_directory_symlink(root.Path(), root.Path() / "sub" / "up");
  struct Case {
    const char* ext;
    bool showExt, showEmpty;
    const char* want;
  } cases[] = {
    {".png", true, false, "A.png#1 b.png#0 sub[z.png#3] Sub2[deeper[k.png#2]]"},
    {".png", false, false, "A#1 b#0 sub[z#3] Sub2[deeper[k#2]]"},
    {".png", true, true, "A.png#1 b.png#0 bare[] empty[chain[]] sub[z.png#3] Sub2[deeper[k.png#2]]"},
    {"", true, false, ""},
  };
  for (const Case& c : cases) {
    Browser b(IRECT(), c.ext, c.showExt, c.showEmpty);
    b.AddPath(root.Path().c_str(), "root");
    b.SetupMenu();
    // Tags follow the file system's order; compare by path instead.
    std::string got = Describe(b.GetMenu());
    for (int i = 0; i < b.NItems(); ++i) {
      const IPopupMenu::Item* item = b.GetItem(i);
      const std::string path = b.GetFilePath(item->GetTag());
      const std::string name = path.substr(path.rfind('/') + 1);
      EXPECT_EQ(name.rfind(item->GetText(), 0), 0u) << path << " for " << item->GetText();
      const std::string tag = "#" + std::to_string(item->GetTag());
      got.replace(got.find(tag), tag.size(), "#");
    }
    std::string want = c.want;
    for (size_t at = want.find('#'); at != std::string::npos; at = want.find('#', at + 1))
      want.erase(at + 1, 1);
    EXPECT_EQ(got, want) << c.ext << " " << c.showExt << c.showEmpty;
    EXPECT_EQ(b.GetSelectedItemIndex(), -1);
  }
}

TEST_F(DirBrowse, SeveralRootsBecomeLabelledSubmenusInOrderAndRebuildsStartOver)
{
  Touch("one/a.wav");
  Touch("two/b.wav");
  Touch("two/c.wav");
  Browser b(IRECT(), ".wav", false);
  b.AddPath((root.Path() / "two").c_str(), "Second");
  b.AddPath((root.Path() / "one").c_str(), "First");
  b.AddPath((root.Path() / "missing").c_str(), "Gone");
  for (int pass = 0; pass < 2; ++pass) {
    b.SetupMenu();
    ASSERT_EQ(b.GetMenu().NItems(), 3);
    EXPECT_STREQ(b.GetMenu().GetItem(0)->GetText(), "Second");
    EXPECT_STREQ(b.GetMenu().GetItem(1)->GetText(), "First");
    EXPECT_EQ(b.GetMenu().GetItem(2)->GetSubmenu()->NItems(), 0);
    EXPECT_EQ(b.NItems(), 3);
    EXPECT_STREQ(b.GetItem(0)->GetText(), "b");
    EXPECT_STREQ(b.GetItem(2)->GetText(), "a");
    EXPECT_EQ(std::string(b.GetFilePath(b.GetItem(2)->GetTag())), (root.Path() / "one" / "a.wav").string());
    EXPECT_EQ(b.GetFilePath(3), nullptr);
  }
}

TEST_F(DirBrowse, SubmenusInheritTheMenusCompletionFunction)
{
  IPopupMenu menu;
  int runs = 0;
  menu.SetFunction([&](IPopupMenu*) { ++runs; });
  IPopupMenu::Item* item = menu.AddItem("sub", new IPopupMenu(), -1);
  ASSERT_NE(item, nullptr);
  item->GetSubmenu()->ExecFunction();
  EXPECT_EQ(runs, 1);
  menu.AddItem("plain");
  menu.AddItem("empty", new IPopupMenu(), 0);
  IDirBrowseControlBase::RemoveEmptySubmenus(menu);
  ASSERT_EQ(menu.NItems(), 1);
  EXPECT_STREQ(menu.GetItem(0)->GetText(), "plain");
}

} // namespace
} // namespace controlstest
