#pragma once
// The settings dialog: the overall colour for the next start, the memory viewer's background
// picture and brightness, the main window's translucency and balloon help. It edits the options
// record in memory and applies most changes at once to the running windows, which it reaches
// through SettingsHooks; the main window writes the record to the file when it closes. Shown
// modally from the menu; every showing loads the controls from the options again.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "shell/ide_popup.h"
#include "shell/tabbed_dialog.h"
#include "widgets/gui_button.h"
#include "widgets/gui_check_button.h"
#include "widgets/gui_edit.h"
#include "widgets/gui_scroll_h.h"

namespace tolmeo {

// What the dialog changes outside itself. A hook left empty does nothing.
struct SettingsHooks {
  // The memory viewer: SetBackgroundPicture and SetBackgroundBrightness.
  std::function<void(const std::string& cp949_path)> set_background_picture;
  std::function<void(int brightness)> set_background_brightness;
  // The main window: is it translucent now, and switch it (with this opacity).
  std::function<bool()> main_translucent;
  std::function<void(bool on, std::uint8_t opacity)> set_main_translucency;
  // The balloon window: apply the options' balloon translucency (its opacity is 225).
  std::function<void()> apply_balloon_translucency;
  // The message box's ShowNotice.
  std::function<void(int kind, std::string_view cp949_text)> show_notice;
};

inline constexpr int kDialogWidth = 318;
inline constexpr int kDialogHeight = 370;
inline constexpr int kBrightnessBarTop = 171;
inline constexpr int kTransparencyBarTop = 232;
inline constexpr int kDialogBarLeft = 8;
inline constexpr int kDialogBarWidth = 265;
inline constexpr int kDialogBarPage = 20;
inline constexpr int kStartingBarPosition = 225;
inline constexpr int kLowestOpacity = 50;

class Tide_dialogbox_Form : public TabbedDialog {
 public:
  Tide_dialogbox_Form(IdeOptions& options, SettingsHooks hooks);

  Color swatch_color() const { return swatch_color_; }
  const std::string& transparency_text() const { return transparency_text_; }

  // The controls, for the menu's owner and for tests.
  Tgui_button_Form& choose_color_button() { return choose_color_button_; }
  Tgui_button_Form& apply_color_button() { return apply_color_button_; }
  Tgui_button_Form& picture_button() { return picture_button_; }
  Tgui_scroll_h_Form& brightness_bar() { return brightness_bar_; }
  Tgui_edit_Form& brightness_box() { return brightness_box_; }
  Tgui_scroll_h_Form& transparency_bar() { return transparency_bar_; }
  Tgui_check_button_Form& transparency_box() { return transparency_box_; }
  Tgui_check_button_Form& balloon_box() { return balloon_box_; }
  Tgui_check_button_Form& balloon_translucency_box() { return balloon_translucency_box_; }

 protected:
  void RenderBody(Bitmap& bitmap) override;
  void FormShow() override;

 private:
  void PlaceControls();
  void ConnectHandlers();
  void ChooseColor();
  void ApplyColor();
  void ChoosePicture();
  void BrightnessChanged();
  void TransparencyChanged();
  void TransparencyBoxChanged();
  void BalloonBoxChanged();
  void BalloonTranslucencyBoxChanged();
  void Notice(int kind, std::string_view cp949_text) const;
  void DrawTexts(Bitmap& bitmap) const;
  void DrawSeparators(Bitmap& bitmap) const;

  IdeOptions& settings_;
  SettingsHooks hooks_;
  Color swatch_color_ = 0;
  // The colour last confirmed in the colour dialog in this run; black until then.
  Color confirmed_color_ = 0;
  std::string transparency_text_;
  Tgui_button_Form choose_color_button_;
  Tgui_button_Form apply_color_button_;
  Tgui_button_Form picture_button_;
  Tgui_scroll_h_Form brightness_bar_;
  Tgui_edit_Form brightness_box_;
  Tgui_scroll_h_Form transparency_bar_;
  Tgui_check_button_Form transparency_box_;
  Tgui_check_button_Form balloon_box_;
  Tgui_check_button_Form balloon_translucency_box_;
};

}  // namespace tolmeo
