// Menu model ownership and sorted insertion; resource cache keys and the
// user counts kept by the graphics contexts.

#include <gtest/gtest.h>

#include "IPopupMenu.h"
#include "ResourceCaches.h"
#include "TestGraphics.h"

using namespace plugin::igraphics;

namespace {

// Counts destructions of menus in a tree.
struct CountedMenu : IPopupMenu {
  explicit CountedMenu(int& counter) : IPopupMenu("sub"), mCounter(counter) {}
  ~CountedMenu() override { ++mCounter; }
  int& mCounter;
};

struct TestBitmap : APIBitmap {
  explicit TestBitmap(int& deleted, float scale = 1.f) : APIBitmap(1, 10, 10, scale, 1.f), mDeleted(deleted) {}
  ~TestBitmap() override { ++mDeleted; }
  int& mDeleted;
};

} // namespace

TEST(IPopupMenu, MenuFromTextsHasUntaggedItemsAndNoChoice)
{
  IPopupMenu m("Title", 2, true, {"a", "b", "c"});
  ASSERT_EQ(m.NItems(), 3);
  EXPECT_STREQ(m.GetItem(1)->GetText(), "b");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(m.GetItem(i)->GetTag(), -1);
  EXPECT_EQ(m.GetChosenItemIdx(), -1);
  EXPECT_EQ(m.GetItem(3), nullptr);
  EXPECT_EQ(m.GetPrefix(), 2);
}

TEST(IPopupMenu, SortedInsertionIgnoresCaseAndGoesBeforeEqualText)
{
  IPopupMenu m("", 0, false, {"alpha", "Gamma"});
  m.AddItem("beta", -2);
  m.AddItem("ALPHA", -2);
  m.AddItem("zeta", 10);
  const char* want[] = {"ALPHA", "alpha", "beta", "Gamma", "zeta"};
  ASSERT_EQ(m.NItems(), 5);
  for (int i = 0; i < 5; ++i)
    EXPECT_STREQ(m.GetItem(i)->GetText(), want[i]);
  m.AddItem("first", 0);
  EXPECT_STREQ(m.GetItem(0)->GetText(), "first");
}

TEST(IPopupMenu, DestroyingTheMenuFreesTheWholeTree)
{
  int destroyed = 0;
  {
    IPopupMenu root;
    auto* sub = new CountedMenu(destroyed);
    sub->AddItem("deeper", new CountedMenu(destroyed));
    root.AddItem("sub", sub);
  }
  EXPECT_EQ(destroyed, 2);
}

TEST(IPopupMenu, ClearKeepsTheTitleAndChosenIndex)
{
  IPopupMenu m("Keep", 3, true, {"x"});
  m.SetChosenItemIdx(0);
  m.Clear();
  EXPECT_EQ(m.NItems(), 0);
  EXPECT_STREQ(m.GetRootTitle(), "Keep");
  EXPECT_EQ(m.GetChosenItemIdx(), 0);
  EXPECT_EQ(m.GetPrefix(), 0);
  EXPECT_FALSE(m.GetCanMultiCheck());
}

TEST(StaticStorage, EntriesAreKeyedByNameAndScale)
{
  int deleted = 0;
  StaticStorage<APIBitmap> s;
  auto* one = new TestBitmap(deleted);
  auto* two = new TestBitmap(deleted, 2.f);
  s.Add(one, "knob.png", 1.0);
  s.Add(two, "knob.png", 2.0);
  s.Add(new TestBitmap(deleted), "knob.png", 1.0);
  EXPECT_EQ(s.Find("knob.png", 1.0), one);
  EXPECT_EQ(s.Find("knob.png", 2.0), two);
  EXPECT_EQ(s.Find("knob.png", 1.5), nullptr);
  EXPECT_EQ(s.Find("knob", 1.0), nullptr);
  EXPECT_EQ(s.Size(), 3);
  s.Remove(one);
  EXPECT_EQ(deleted, 1);
  s.Empty();
  EXPECT_EQ(deleted, 3);
}

TEST(StaticStorage, CachesAreEmptiedWhenTheLastGraphicsContextGoes)
{
  using testsupport::TestDelegate;
  using testsupport::TestGraphics;
  int deleted = 0;
  TestDelegate d;
  {
    TestGraphics first(d, 100, 100);
    {
      TestGraphics second(d, 100, 100);
      EXPECT_EQ(BitmapCache().mUsers, 2);
      EXPECT_EQ(SVGCache().mUsers, 2);
      std::lock_guard<std::recursive_mutex> lock(BitmapCache().mMutex);
      BitmapCache().Add(new TestBitmap(deleted), "bg.png", 1.0);
    }
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(BitmapCache().Size(), 1);
  }
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(BitmapCache().mUsers, 0);
  EXPECT_EQ(SVGCache().mUsers, 0);
  EXPECT_EQ(BitmapCache().Size(), 0);
}
