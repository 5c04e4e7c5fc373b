// The computer keyboard played as a MIDI keyboard. The octave is shared
// by every editor of the process, so each case restores it to the start.

#include "EditorFixture.h"

using namespace testsupport;

namespace {

class Qwerty : public EditorFixture {
protected:
  void SetUp() override
  {
    EditorFixture::SetUp();
    g->SetQwertyMidiKeyHandlerFunc([this](const IMidiMsg& m) { sent.push_back(m.mStatus * 1000 + m.mData1); });
    // Back to the base note 48 whatever earlier cases left: down to 24, up twice.
    for (int i = 0; i < 6; ++i)
      Down('Z');
    Down('X');
    Down('X');
    sent.clear();
    dlg.TakeLog();
  }
  bool Down(int vk) { return g->OnKeyDown(-1, -1, IKeyPress("", vk)); }
  bool Up(int vk) { return g->OnKeyUp(-1, -1, IKeyPress("", vk)); }
  static int On(int n) { return 144000 + n; }
  static int Off(int n) { return 128000 + n; }

  std::vector<int> sent;
};

} // namespace

TEST_F(Qwerty, RepeatedKeyDownSoundsOnce)
{
  Down('A');
  Down('A');
  Up('A');
  EXPECT_EQ(sent, (std::vector<int>{On(48), Off(48)}));
  EXPECT_EQ(dlg.TakeLog(), (Log{"Midi 144 48 127", "Midi 128 48 0"}));
}

TEST_F(Qwerty, LetterRowMapsToSemitones)
{
  const char* keys = "AWSEDFTGYHUJKOL";
  for (int i = 0; keys[i]; ++i) {
    Down(keys[i]);
    Up(keys[i]);
  }
  ASSERT_EQ(sent.size(), 30u);
  for (int i = 0; i < 15; ++i)
    EXPECT_EQ(sent[2 * i], On(48 + i));
}

TEST_F(Qwerty, OctaveShiftsStopAtTheirLimits)
{
  std::vector<int> bases;
  for (int i = 0; i < 5; ++i) {
    Down('X');
    Down('A');
    Up('A');
    bases.push_back(sent[sent.size() - 2] - 144000);
  }
  EXPECT_EQ(bases, (std::vector<int>{60, 72, 84, 96, 96}));
  for (int i = 0; i < 6; ++i)
    Down('Z');
  sent.clear();
  Down('A');
  EXPECT_EQ(sent, (std::vector<int>{On(24)}));
  Up('A');
}

TEST_F(Qwerty, OctaveShiftSilencesHeldNotes)
{
  Down('A');
  Down('X');
  Up('A');
  EXPECT_EQ(sent, (std::vector<int>{On(48), Off(48)}));
}

TEST_F(Qwerty, OtherKeysAreHandledSilently)
{
  EXPECT_TRUE(Down('1'));
  EXPECT_TRUE(Down(' '));
  EXPECT_TRUE(Up('Z'));
  EXPECT_TRUE(sent.empty());
}
