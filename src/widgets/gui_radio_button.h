#pragma once
// The radio button form the widget set carries: a borderless white window that takes the
// mouse and does nothing with it. No window of Tolmeo uses it yet.
#include "widgets/widget_base.h"

namespace tolmeo {

class Tgui_radio_button_Form : public WidgetBase {
 public:
  Tgui_radio_button_Form(Form* owner, const IdeOptions& options);

 protected:
  void Render(Bitmap& bitmap) override;
};

}  // namespace tolmeo
