#pragma once
// The edge box: a small framed square of fixed size that fills the corner where a vertical
// and a horizontal scroll bar meet. It reacts to the mouse only through balloon help.
#include "widgets/widget_base.h"

namespace tolmeo {

class Tgui_edgebox_Form : public WidgetBase {
 public:
  static constexpr int kSize = 14;

  Tgui_edgebox_Form(Form* owner, const IdeOptions& options);

 protected:
  // The frame in the overall colour on a white inside.
  void Render(Bitmap& bitmap) override;
};

}  // namespace tolmeo
