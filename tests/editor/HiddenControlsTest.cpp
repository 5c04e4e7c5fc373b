// The maker's invisible controls: the hidden parameter link, the click
// area and the file selector with its prompt and message.

#include "IVFileSelectorControlHiddenZV.h"
#include "IVHiddenControlsZV.h"
#include "MakerControlsFixture.h"

namespace editortest {
namespace {

using HiddenControls = MakerControlsFixture;

TEST_F(HiddenControls, ParameterLinkTakesHostValuesAndIsNeverHit)
{
  auto* link = new IVParameterControlHiddenZV(kMix);
  g->AttachControl(link);
  dlg.SendParameterValueFromDelegate(kMix, 0.25, true);
  EXPECT_EQ(link->GetValue(), 0.25);
  EXPECT_EQ(g->GetMouseControlIdx(0, 0), -1);
}

TEST_F(HiddenControls, ClickAreaSendsItsTagOnlyWhenItHasOne)
{
  struct Case {
    int tag;
    std::vector<int> want;
  } cases[] = {{12, {12}}, {0, {0}}, {-1, {}}, {-7, {}}};
  for (const Case& c : cases) {
    auto* area = new IVClickControlHiddenZV(IRECT(10, 10, 30, 30), c.tag);
    g->AttachControl(area);
    Click(20, 20);
    EXPECT_EQ(dlg.TakeMessages(), c.want) << c.tag;
    g->RemoveControl(area);
  }
}

class FileSelector : public MakerControlsFixture {
protected:
  IVFileSelectorControlHiddenZV* Selector(int action, const char* folder, int preMsg = -1)
  {
    auto* s = new IVFileSelectorControlHiddenZV(IRECT(84, 370, 112, 398), 23, action, folder, "vrl wav aiff", preMsg);
    g->AttachControl(s);
    return s;
  }
};

TEST_F(FileSelector, SendsItsMessageAfterTheChoiceAndAfterACancel)
{
  auto* s = Selector(0, "/data");
  struct Step {
    const char* answer;
    const char* path;
    const char* promptFolder;
    const char* folderAfter;
  } steps[] = {
    {"", "", "/data", "/data"},
    {"/music/takes/a.wav", "/music/takes/a.wav", "/data", "/music/takes"},
    // The next prompt opens where the last choice was; a cancel keeps it.
    {"", "", "/music/takes", "/music/takes"},
    {"/music/b.vrl", "/music/b.vrl", "/music/takes", "/music"},
  };
  for (const Step& st : steps) {
    g->mFileAnswers.push_back(st.answer);
    Click(90, 380);
    EXPECT_EQ(dlg.TakeMessages(), std::vector<int>{23}) << st.answer;
    EXPECT_STREQ(s->GetChosenPath(), st.path);
    EXPECT_STREQ(s->GetFolder(), st.folderAfter);
    ASSERT_FALSE(g->mPrompts.empty());
    EXPECT_EQ(g->mPrompts.back(), std::string("prompt 0 in ") + st.promptFolder + " for vrl wav aiff");
  }
}

TEST_F(FileSelector, ActionDecidesThePromptAndThePreMessageComesFirst)
{
  struct Case {
    int action;
    const char* folder;
    int preMsg;
    std::vector<int> messages;
    std::size_t prompts;
  } cases[] = {
    {1, nullptr, -1, {23}, 1},
    {0, "", 30, {30, 23}, 1},
    {2, "/data", 30, {}, 0},
    {-1, "/data", -1, {}, 0},
  };
  for (const Case& c : cases) {
    g->mPrompts.clear();
    auto* s = Selector(c.action, c.folder, c.preMsg);
    Click(90, 380);
    EXPECT_EQ(dlg.TakeMessages(), c.messages) << c.action;
    EXPECT_EQ(g->mPrompts.size(), c.prompts) << c.action;
    if (c.prompts) {
      EXPECT_EQ(g->mPrompts[0], Fmt("prompt %g in ", c.action) + (c.folder ? c.folder : "") + " for vrl wav aiff");
    }
    EXPECT_STREQ(s->GetChosenPath(), "");
    g->RemoveControl(s);
  }
}

} // namespace
} // namespace editortest
