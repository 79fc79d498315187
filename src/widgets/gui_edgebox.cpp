#include "widgets/gui_edgebox.h"

#include "gfx/colors.h"

namespace tolmeo {

Tgui_edgebox_Form::Tgui_edgebox_Form(Form* owner, const IdeOptions& options)
    : WidgetBase(owner, options) {
  SetBounds(Rect{0, 0, kSize, kSize});
}

void Tgui_edgebox_Form::Render(Bitmap& bitmap) {
  bitmap.Fill(kWhite);
  bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, options().overallColor);
}

}  // namespace tolmeo
