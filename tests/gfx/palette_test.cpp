#include "gfx/palette.h"

#include <gtest/gtest.h>

#include "gfx/colors.h"

namespace tolmeo {
namespace {

TEST(Palette, LightenColorMovesEachChannelTowardsWhite) {
  EXPECT_EQ(LightenColor(0x000000, 210), 0xD2D2D2u);
  EXPECT_EQ(LightenColor(0xFF0000, 140), 0xFF8C8Cu);
  EXPECT_EQ(LightenColor(0x123456, 0), 0x123456u);
  EXPECT_EQ(LightenColor(0x123456, 255), kWhite);
  EXPECT_EQ(LightenColor(0x123456, -40), 0x123456u);  // a bad amount never wraps a channel
  EXPECT_EQ(LightenColor(0x123456, 300), kWhite);
}

// The roles go from the overall colour itself to nearly white in the order the windows rely
// on: text on a field must stay readable, a hot line must stand out of its list or menu.
TEST(Palette, EveryRoleIsALightenedOverallColourInTheirOrder) {
  const Palette black = PaletteOf(kBlack);
  const Color ordered[] = {black.overall, black.caption,  black.highlight, black.selected_tab,
                           black.label,   black.balloon,  black.menu,      black.strip,
                           black.list,    black.field};
  for (std::size_t i = 1; i < std::size(ordered); ++i) {
    EXPECT_GT(RedOf(ordered[i]), RedOf(ordered[i - 1])) << i;
  }
  EXPECT_EQ(PaletteOf(kWhite).field, kWhite);
  EXPECT_EQ(PaletteOf(0x2040A0).overall, 0x2040A0u);
}

}  // namespace
}  // namespace tolmeo
