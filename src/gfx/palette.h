#pragma once
// Every shade Tolmeo draws with besides white and black comes from the user's overall colour.
// The shades are named here by what they colour, so a control asks for its role and the
// amounts live in one place.
#include <cstdint>

#include "gfx/bitmap.h"

namespace tolmeo {

// Moves a channel c towards white: c + (255 - c) * amount / 255, amount in 0..255.
std::uint8_t LightenChannel(int channel, int amount);
// The same for each channel of color. Amounts outside 0..255 are taken as 0 or 255, so a bad
// setting gives a plain colour rather than a wrapped one.
Color LightenColor(Color color, int amount);

struct Palette {
  Color overall;       // titles, frames and text on light ground
  Color highlight;     // the hot line of a list or menu, the progress bar's filled part
  Color caption;       // the programmer window's caption bar
  Color selected_tab;  // the tab that is in front
  Color label;         // a document line's title
  Color balloon;       // a balloon's ground
  Color menu;          // a menu's ground
  Color strip;         // the address strip of a memory view
  Color list;          // a quick list's ground
  Color field;         // a document's name and the progress bar's trough
};

Palette PaletteOf(Color overall);

}  // namespace tolmeo
