#include "widgets/gui_radio_button.h"

#include "gfx/colors.h"

namespace tolmeo {

Tgui_radio_button_Form::Tgui_radio_button_Form(Form* owner, const IdeOptions& options)
    : WidgetBase(owner, options) {
  SetBounds(Rect{0, 0, 12, 12});
}

void Tgui_radio_button_Form::Render(Bitmap& bitmap) { bitmap.Fill(kWhite); }

}  // namespace tolmeo
