#include "app/ide_dialogbox.h"

#include <string>

#include "base/cp949.h"
#include "base/file_system.h"
#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"
#include "isp/hex_documents.h"
#include "shell/ide_msgbox.h"

namespace tolmeo {
namespace {

constexpr int kLineInset = 4;
constexpr int kBarLabelRise = 14;  // the range labels stand this far above their bar
constexpr int kBrightnessBoxGap = 11;
constexpr int kValueTextGap = 10;
constexpr int kBoxLabelLeft = 24;

const std::string& Title() { return Ktext(u8" Darimsol 대화상자 "); }
const std::string& RestartNote() {
  return Ktext(u8"지정색은 통합개발환경을 다시 시작하는 경우 반영됩니다.");
}
const std::string& PathTooLong() {
  return Ktext(u8"그림 파일의 경로가 너무 깁니다. 더 짧은 경로의 그림을 골라 주세요.");
}

constexpr DialogHeading kHeadings[] = {
    {u8"[전체 색 설정]", 30},           {u8"[편집기 배경 그림 설정]", 88},
    {u8"[편집기 바탕화면 밝기 설정]", 140}, {u8"[개발환경 자체 투명도 설정]", 201},
    {u8"[풍선 도움말 설정]", 276},
};
constexpr int kDottedLineY = 78;
constexpr int kSolidLineYs[] = {130, 191, 266, 326};

}  // namespace

Tide_dialogbox_Form::Tide_dialogbox_Form(IdeOptions& options, SettingsHooks hooks)
    : TabbedDialog(options, Title(), kDialogWidth, kDialogHeight),
      settings_(options),
      hooks_(std::move(hooks)),
      choose_color_button_(this, options),
      apply_color_button_(this, options),
      picture_button_(this, options),
      brightness_bar_(this, options),
      brightness_box_(this, options, std::make_unique<Tide_popup_Form>(options)),
      transparency_bar_(this, options),
      transparency_box_(this, options),
      balloon_box_(this, options),
      balloon_translucency_box_(this, options) {
  PlaceControls();
  // Both bars stand at 225 before their handlers are attached.
  brightness_bar_.SetPosition(kStartingBarPosition);
  transparency_bar_.SetPosition(kStartingBarPosition);
  transparency_text_ = std::to_string(kStartingBarPosition);
  ConnectHandlers();
  Draw();
}

void Tide_dialogbox_Form::PlaceControls() {
  Place(choose_color_button_, Rect{106, 50, 100, 20});
  choose_color_button_.SetCaption(Ktext(u8"색 선택"));
  Place(apply_color_button_, Rect{106 + 100 + 4, 50, 100, 20});
  apply_color_button_.SetCaption(Ktext(u8"색 적용"));
  Place(picture_button_, Rect{8, 106, 302, 18});
  picture_button_.SetCaption(Ktext(u8"JPG 그림 선택과 반영"));

  for (Tgui_scroll_h_Form* bar : {&brightness_bar_, &transparency_bar_}) {
    int top = bar == &brightness_bar_ ? kBrightnessBarTop : kTransparencyBarTop;
    Place(*bar, Rect{kDialogBarLeft, top, kDialogBarWidth, ScrollBar::kThickness});
    bar->SetPage(kDialogBarPage);
    bar->SetMax(255);
  }
  transparency_bar_.SetMin(kLowestOpacity);
  transparency_bar_.SetEnabled(false);
  Place(brightness_box_, Rect{kDialogBarLeft + kDialogBarWidth + kBrightnessBoxGap, 168, 26, 16});

  constexpr int box = Tgui_check_button_Form::kSize;
  Place(transparency_box_, Rect{8, 248, box, box});
  Place(balloon_box_, Rect{8, 292, box, box});
  Place(balloon_translucency_box_, Rect{8, 308, box, box});
}

void Tide_dialogbox_Form::ConnectHandlers() {
  choose_color_button_.on_click = [this] { ChooseColor(); };
  apply_color_button_.on_click = [this] { ApplyColor(); };
  picture_button_.on_click = [this] { ChoosePicture(); };
  brightness_bar_.on_change = [this] { BrightnessChanged(); };
  transparency_bar_.on_change = [this] { TransparencyChanged(); };
  transparency_box_.on_release = [this] { TransparencyBoxChanged(); };
  balloon_box_.on_release = [this] { BalloonBoxChanged(); };
  balloon_translucency_box_.on_release = [this] { BalloonTranslucencyBoxChanged(); };
}

void Tide_dialogbox_Form::FormShow() {
  TabbedDialog::FormShow();
  swatch_color_ = settings_.overallColor;
  brightness_bar_.SetPosition(settings_.brightness);
  transparency_box_.SetChecked(settings_.alphaBlendOn != 0);
  transparency_bar_.SetEnabled(transparency_box_.checked());
  transparency_bar_.SetPosition(settings_.alphaBlendValue);
  balloon_box_.SetChecked(settings_.balloonHelpOn != 0);
  balloon_translucency_box_.SetChecked(settings_.balloonTransparentOn != 0);
  Draw();
}

// --- Handlers --------------------------------------------------------------------------------

void Tide_dialogbox_Form::ChooseColor() {
  auto answer = Application::Current().desktop().ChooseColor(swatch_color_);
  if (!answer) {
    Notice(kNoticeFailure, answer.reason());
    return;
  }
  if (!answer->has_value()) return;
  confirmed_color_ = **answer;
  swatch_color_ = confirmed_color_;
  Draw();
}

void Tide_dialogbox_Form::ApplyColor() {
  settings_.savedColor = confirmed_color_;
  Notice(kNoticeInfo, RestartNote());
}

void Tide_dialogbox_Form::ChoosePicture() {
  FileDialog dialog;
  dialog.title = picture_button_.caption();
  dialog.filter = "*.jpg|*.jpg";
  auto answer = Application::Current().desktop().ChooseFileToOpen(dialog);
  if (!answer) {
    Notice(kNoticeFailure, answer.reason());
    return;
  }
  if (!answer->has_value()) return;
  const std::string& path = **answer;
  // The options file keeps shorter paths only; a longer one would quietly be lost at the
  // next start.
  if (path.size() >= kMaxOptionPathBytes) {
    Notice(kNoticeWarning, PathTooLong());
    return;
  }
  settings_.backgroundPicturePath = path;
  if (hooks_.set_background_picture) hooks_.set_background_picture(path);
}

void Tide_dialogbox_Form::BrightnessChanged() {
  int value = brightness_bar_.position();
  brightness_box_.SetText(std::to_string(value));
  if (hooks_.set_background_brightness) hooks_.set_background_brightness(value);
  settings_.brightness = value;
}

void Tide_dialogbox_Form::TransparencyChanged() {
  int value = transparency_bar_.position();
  settings_.alphaBlendValue = value;
  transparency_text_ = std::to_string(value);
  Draw();
  bool translucent = hooks_.main_translucent && hooks_.main_translucent();
  if (transparency_box_.checked() && translucent && hooks_.set_main_translucency) {
    hooks_.set_main_translucency(true, static_cast<std::uint8_t>(value & 0xFF));
  }
}

void Tide_dialogbox_Form::TransparencyBoxChanged() {
  bool on = transparency_box_.checked();
  if (hooks_.set_main_translucency) {
    hooks_.set_main_translucency(on, static_cast<std::uint8_t>(settings_.alphaBlendValue & 0xFF));
  }
  settings_.alphaBlendOn = on ? 1 : 0;
  transparency_bar_.SetEnabled(on);
}

void Tide_dialogbox_Form::BalloonBoxChanged() {
  settings_.balloonHelpOn = balloon_box_.checked() ? 1 : 0;
}

void Tide_dialogbox_Form::BalloonTranslucencyBoxChanged() {
  settings_.balloonTransparentOn = balloon_translucency_box_.checked() ? 1 : 0;
  if (hooks_.apply_balloon_translucency) hooks_.apply_balloon_translucency();
}

void Tide_dialogbox_Form::Notice(int kind, std::string_view cp949_text) const {
  if (hooks_.show_notice) hooks_.show_notice(kind, cp949_text);
}

// --- Drawing ----------------------------------------------------------------------------------

void Tide_dialogbox_Form::RenderBody(Bitmap& bitmap) {
  bitmap.FillRect(Rect{8, 50, 60, 20}, swatch_color_);
  bitmap.FrameRect(Rect{8, 50, 60, 20}, kBlack);
  DrawTexts(bitmap);
  DrawSeparators(bitmap);
}

void Tide_dialogbox_Form::DrawTexts(Bitmap& bitmap) const {
  DrawHeadings(bitmap, kHeadings);
  const int bar_right = kDialogBarLeft + kDialogBarWidth;
  const std::string top_value = "255";
  const int top_value_left = bar_right - BodyTextWidth(top_value);
  DrawBodyText(bitmap, kDialogBarLeft, kBrightnessBarTop - kBarLabelRise, "0");
  DrawBodyText(bitmap, top_value_left, kBrightnessBarTop - kBarLabelRise, top_value);
  DrawBodyText(bitmap, kDialogBarLeft, kTransparencyBarTop - kBarLabelRise,
               std::to_string(kLowestOpacity));
  DrawBodyText(bitmap, top_value_left, kTransparencyBarTop - kBarLabelRise, top_value);
  DrawBodyText(bitmap, bar_right + kValueTextGap, kTransparencyBarTop, transparency_text_);
  DrawBodyText(bitmap, kBoxLabelLeft, 248, Ktext(u8"개발환경 투명 기능 사용(느려질 수 있음)"));
  DrawBodyText(bitmap, kBoxLabelLeft, 292, Ktext(u8"풍선 도움말 사용"));
  DrawBodyText(bitmap, kBoxLabelLeft, 308, Ktext(u8"풍선 도움말 투명 기능 사용(느려질 수 있음)"));
  DrawBodyText(bitmap, 97, kDialogHeight - 36, "Darimsol");
  DrawBodyText(bitmap, 55, kDialogHeight - 20, NoDocumentText(Memory::Eeprom));
}

void Tide_dialogbox_Form::DrawSeparators(Bitmap& bitmap) const {
  Color overall = options().overallColor;
  const int right = bitmap.width() - kLineInset;
  for (int x = kLineInset; x < right; x += 2) bitmap.SetPixel(x, kDottedLineY, overall);
  for (int y : kSolidLineYs) DrawSeparator(bitmap, y);
}

}  // namespace tolmeo
