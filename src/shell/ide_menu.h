#pragma once
// The main window's menu bar: five titles drawn with the bitmap fonts (문서, 설정, 도움말, an
// empty slot, and the device menu whose title is the chosen device), and the minimise,
// maximise and close buttons at its right end. A title click opens its drop-down list, a click
// on another title switches it, a click on the open title closes it.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "widgets/gui_bmpbutton.h"
#include "widgets/widget_base.h"

namespace tolmeo {

class Tide_submenu_Form;

inline constexpr int kMenuSlotCount = 5;
inline constexpr int kDeviceSlot = 4;
inline constexpr int kMenuBarLeft = 3;
inline constexpr int kMenuBarHeight = 18;

struct MenuSlot {
  // Where the title is drawn and hit; right and bottom are the last column and row.
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  std::string title;  // CP949, blanks included; empty for the unused slot
  std::vector<std::string> items;
  int hot_item = -1;
};

// What the items do beyond the shell: set by the main window.
struct MenuActions {
  std::function<void()> open_flash_document;
  std::function<void()> open_eeprom_document;
  // The chip image of each memory written to an Intel HEX file the user names.
  std::function<void()> save_flash_image;
  std::function<void()> save_eeprom_image;
  std::function<void()> show_settings;
  std::function<void()> show_cable_settings;
  std::function<void(int kind, const std::string& cp949_text)> show_notice;
  // Asked before another device is taken; false keeps the device in force (and says why).
  std::function<bool()> may_change_device;
  // The device menu's new choice, without its blanks.
  std::function<void(const std::string& name)> load_device;
};

// The texts of the help menu's about and pledge items (CP949).
const std::string& AboutText();
const std::string& PledgeText();
// The maker's web page that the help menu opens.
std::string MakerAddress();

// The device menu's items for the description names: " name " each, or the single " AVR "
// when there is none.
std::vector<std::string> DeviceItems(const std::vector<std::string>& names);

// The slot whose title holds column x (the right-hand one where two share a column), or -1.
int SlotAt(const std::array<MenuSlot, kMenuSlotCount>& slots, int x);

class Tide_menu_Form : public WidgetBase {
 public:
  Tide_menu_Form(Form& main, const IdeOptions& options, MenuActions actions);
  ~Tide_menu_Form() override;

  // The drop-down list, created after the main window; until then titles open nothing.
  void AttachSubmenu(Tide_submenu_Form& submenu);
  void DetachSubmenu() { submenu_ = nullptr; }

  // Fills the bitmap white, draws the titles, presents.
  void Redraw();
  void RedrawTitles();
  // Hides the drop-down; no title stays open.
  void CloseMenu();
  void CloseMenuAndRedraw();
  void OpenSlot(int slot);
  void RunItem(int slot, int item);
  // Follows the main window's width.
  void Relayout();
  // The drop-down list went away, whichever way it closed.
  void MenuClosed();

  int open_slot() const { return open_slot_; }
  const MenuSlot& slot(int index) const { return slots_[index]; }
  int bar_hit_width() const { return bar_hit_width_; }
  int bar_hit_height() const { return bar_hit_height_; }
  bool pointer_over_titles() const { return pointer_over_titles_; }
  // The device menu's title without its blanks.
  std::string DeviceName() const;
  // Makes the named description the device menu's choice; false (nothing changed) when the
  // menu has no such item.
  bool SelectDevice(const std::string& name);
  const Tgui_bmpbutton_Form& minimize_button() const { return minimize_; }
  const Tgui_bmpbutton_Form& maximize_button() const { return maximize_; }
  const Tgui_bmpbutton_Form& close_button() const { return close_; }

 protected:
  void Render(Bitmap& bitmap) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseLeave() override;

 private:
  void BuildSlots();
  void SetDeviceTitle(const std::string& title);
  void DrawTitles(Bitmap& bitmap);
  void SetUpButton(Tgui_bmpbutton_Form& button, const char* picture);
  void LeaveTitles();
  void ToggleMaximized();
  void RunHelpItem(int item);

  Form& main_;
  MenuActions actions_;
  std::array<MenuSlot, kMenuSlotCount> slots_;
  int open_slot_ = -1;
  int bar_hit_width_ = 0;
  int bar_hit_height_ = 0;
  bool pointer_over_titles_ = false;
  Tide_submenu_Form* submenu_ = nullptr;
  Tgui_bmpbutton_Form minimize_;
  Tgui_bmpbutton_Form maximize_;
  Tgui_bmpbutton_Form close_;
};

}  // namespace tolmeo
