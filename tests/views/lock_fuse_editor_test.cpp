// The lock and fuse bit editor: where its controls are, how it shows the chip image's bits, and
// what clicks on enabled and disabled boxes do to them.
#include "views/lock_fuse_editor.h"

#include "base/cp949.h"
#include "views_fixture.h"

namespace tolmeo::testing {
namespace {

class BitEditorTest : public ViewsTest {
 protected:
  BitEditorTest() : avr(MakeProgrammerWindow()), editor(avr.bit_editor()) {
    avr.block_tabs().SetSelected(kAvrSettingsTab);
    Pump();
  }
  void SetBit(FuseGroup group, int bit, const BitBox& box) {
    image->bits.Box(group, bit) = box;
    image->CollectBits(group);
  }
  Tide_AVR_Form& avr;
  LockFuseEditor& editor;
};

TEST_F(BitEditorTest, BoxesRunDownFromBitSevenInFourColumns) {
  const int lefts[] = {50, 185, 320, 455};
  for (FuseGroup group : kFuseGroups) {
    const int left = lefts[static_cast<int>(group)];
    EXPECT_EQ(editor.title(group).left(), left);
    EXPECT_EQ(editor.box(group, 7).bounds().top, 38);
    EXPECT_EQ(editor.box(group, 0).bounds().top, 164);
    for (int bit = 0; bit < 8; ++bit) {
      EXPECT_EQ(editor.box(group, bit).left(), left);
      EXPECT_EQ(editor.name(group, bit).left(), left + 16);
      EXPECT_EQ(editor.name(group, bit).top(), editor.box(group, bit).top() - 1);
      EXPECT_EQ(editor.name(group, bit).text(), Ktext(u8"비트문자열"));
    }
    EXPECT_EQ(editor.write_button(group).bounds().left, left);
    EXPECT_EQ(editor.read_button(group).bounds().left, left + 64);
    EXPECT_EQ(editor.write_button(group).top(), 185);
  }
  EXPECT_EQ(editor.title(FuseGroup::Extended).text(), Ktext(u8"[설정확장]"));
  EXPECT_EQ(editor.reset_button().left(), 50);
  EXPECT_EQ(editor.save_button().left(), 320);
  EXPECT_EQ(editor.save_button().width(), 259);
  EXPECT_EQ(editor.read_button(FuseGroup::Low).balloon_text(),
            Ktext(u8"하위 설정값을 AVR 로 부터 읽어들입니다."));
}

TEST_F(BitEditorTest, ShowsTheImagesBitsWithTheirNamesAndFixedMarks) {
  SetBit(FuseGroup::Lock, 1, BitBox{true, "LB2", true});
  SetBit(FuseGroup::Lock, 0, BitBox{false, "LB1", false});
  editor.ShowBits();
  EXPECT_TRUE(editor.box(FuseGroup::Lock, 1).checked());
  EXPECT_FALSE(editor.box(FuseGroup::Lock, 1).enabled());
  EXPECT_EQ(editor.name(FuseGroup::Lock, 1).text(), "LB2");
  EXPECT_FALSE(editor.box(FuseGroup::Lock, 0).checked());
  EXPECT_TRUE(editor.box(FuseGroup::Lock, 0).enabled());
  // A box shown fixed is enabled again by a description where it is not.
  SetBit(FuseGroup::Lock, 1, BitBox{false, "LB2", false});
  editor.ShowBits();
  EXPECT_TRUE(editor.box(FuseGroup::Lock, 1).enabled());
  EXPECT_FALSE(editor.box(FuseGroup::Lock, 1).checked());
}

TEST_F(BitEditorTest, AClickSetsTheBitAtOnceButNotOnADisabledBox) {
  for (int bit = 0; bit < 8; ++bit) SetBit(FuseGroup::Low, bit, BitBox{((0xE1 >> bit) & 1) == 0, "b", false});
  SetBit(FuseGroup::Low, 4, BitBox{true, "SUT0", true});
  editor.ShowBits();
  ASSERT_EQ(image->lowFuse, 0xE1);
  EXPECT_TRUE(editor.box(FuseGroup::Low, 3).checked());
  ClickOn(editor.box(FuseGroup::Low, 3), 5, 5);
  EXPECT_FALSE(editor.box(FuseGroup::Low, 3).checked());
  EXPECT_FALSE(image->bits.Box(FuseGroup::Low, 3).checked);
  EXPECT_EQ(image->lowFuse, 0xE9);
  ClickOn(editor.box(FuseGroup::Low, 4), 5, 5);
  EXPECT_TRUE(editor.box(FuseGroup::Low, 4).checked());
  EXPECT_TRUE(image->bits.Box(FuseGroup::Low, 4).checked);
  EXPECT_EQ(image->lowFuse, 0xE9);
}

TEST_F(BitEditorTest, ButtonsRunTheirGroupsCommands) {
  std::vector<std::string> ran;
  editor.on_write = [&](FuseGroup group) { ran.push_back("write " + std::to_string(int(group))); };
  editor.on_read = [&](FuseGroup group) { ran.push_back("read " + std::to_string(int(group))); };
  editor.on_reset = [&] { ran.push_back("reset"); };
  editor.on_save = [&] { ran.push_back("save"); };
  ClickOn(editor.write_button(FuseGroup::High), 10, 5);
  ClickOn(editor.read_button(FuseGroup::Lock), 10, 5);
  ClickOn(editor.reset_button(), 10, 5);
  ClickOn(editor.save_button(), 10, 5);
  EXPECT_EQ(ran, (std::vector<std::string>{"write 2", "read 0", "reset", "save"}));
}

}  // namespace
}  // namespace tolmeo::testing
