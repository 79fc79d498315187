#include "gfx/palette.h"

#include <algorithm>

namespace tolmeo {

std::uint8_t LightenChannel(int channel, int amount) {
  return static_cast<std::uint8_t>(channel + (255 - channel) * amount / 255);
}

Color LightenColor(Color color, int amount) {
  amount = std::clamp(amount, 0, 255);
  return MakeColor(LightenChannel(RedOf(color), amount), LightenChannel(GreenOf(color), amount),
                   LightenChannel(BlueOf(color), amount));
}

Palette PaletteOf(Color overall) {
  return Palette{
      .overall = overall,
      .highlight = LightenColor(overall, 100),
      .caption = LightenColor(overall, 80),
      .selected_tab = LightenColor(overall, 120),
      .label = LightenColor(overall, 140),
      .balloon = LightenColor(overall, 180),
      .menu = LightenColor(overall, 200),
      .strip = LightenColor(overall, 210),
      .list = LightenColor(overall, 215),
      .field = LightenColor(overall, 225),
  };
}

}  // namespace tolmeo
