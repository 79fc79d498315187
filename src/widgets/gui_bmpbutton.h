#pragma once
// The bitmap button: a push button that shows a picture from a bitmap file, with the colours
// exchanged while pressed.
#include <string>

#include "base/result.h"
#include "widgets/clickable_widget.h"
#include "widgets/tinted_picture.h"

namespace tolmeo {

class Tgui_bmpbutton_Form : public ClickableWidget {
 public:
  Tgui_bmpbutton_Form(Form* owner, const IdeOptions& options);

  void SetFramed(bool framed);
  // See TintedPicture::Load; the button redraws either way.
  Status LoadImage(const std::string& cp949_path);
  void SetImageWidth(int width);
  void SetImageHeight(int height);

 protected:
  void Render(Bitmap& bitmap) override;

 private:
  bool framed_ = false;
  TintedPicture picture_;
};

}  // namespace tolmeo
