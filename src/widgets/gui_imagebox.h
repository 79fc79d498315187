#pragma once
// The image box: a passive control that shows a tinted picture from a bitmap file (the message
// box's icon), optionally one frame of a strip and optionally framed. It reacts to the mouse
// only through balloon help.
#include <string>

#include "widgets/tinted_picture.h"
#include "widgets/widget_base.h"

namespace tolmeo {

class Tgui_imagebox_Form : public WidgetBase {
 public:
  Tgui_imagebox_Form(Form* owner, const IdeOptions& options);

  void SetFramed(bool framed);
  // See TintedPicture::Load; the box redraws either way.
  Status LoadImage(const std::string& cp949_path);
  void SetStripMode(bool on);
  void SetFrameWidth(int width);
  void SetFrameIndex(int index);
  void SetImageWidth(int width);
  void SetImageHeight(int height);

 protected:
  void Render(Bitmap& bitmap) override;

 private:
  bool framed_ = false;
  TintedPicture picture_;
};

}  // namespace tolmeo
