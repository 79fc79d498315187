#pragma once
// The lock and fuse bit editor of the programmer window's AVR settings view: four groups of
// eight check boxes (checked = programmed = bit value 0) with the bits' names, a write and a
// read button per group, and buttons to go back to the description and to store the current
// bits into a description file. The bits, their names and fixed marks live in the chip image;
// the editor shows them and puts a click on a box there. Every control is a child of the
// programmer window, created hidden.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/fuse_boxes.h"
#include "formats/ide_options.h"
#include "isp/chip_image.h"
#include "widgets/gui_button.h"
#include "widgets/gui_check_button.h"
#include "widgets/gui_label.h"

namespace tolmeo {

class LockFuseEditor {
 public:
  static constexpr int kGroupSpacing = 135;
  static constexpr int kRowSpacing = 18;

  LockFuseEditor(Form& window, const IdeOptions& options, ChipImage& image);

  void SetVisible(bool visible);

  // Every box, name and fixed mark as the chip image's bits hold them.
  void ShowBits();

  // What the buttons do, set by whoever owns the engine.
  std::function<void(FuseGroup)> on_write;
  std::function<void(FuseGroup)> on_read;
  std::function<void()> on_reset;
  std::function<void()> on_save;

  Tgui_check_button_Form& box(FuseGroup group, int bit) {
    return *groups_[Index(group)].boxes[bit & 7];
  }
  Tgui_Label_Form& name(FuseGroup group, int bit) { return *groups_[Index(group)].names[bit & 7]; }
  Tgui_Label_Form& title(FuseGroup group) { return *groups_[Index(group)].title; }
  Tgui_button_Form& write_button(FuseGroup group) { return *groups_[Index(group)].write; }
  Tgui_button_Form& read_button(FuseGroup group) { return *groups_[Index(group)].read; }
  Tgui_button_Form& reset_button() { return *reset_; }
  Tgui_button_Form& save_button() { return *save_; }

 private:
  struct Group {
    Tgui_Label_Form* title = nullptr;
    std::array<Tgui_check_button_Form*, 8> boxes{};
    std::array<Tgui_Label_Form*, 8> names{};
    Tgui_button_Form* write = nullptr;
    Tgui_button_Form* read = nullptr;
  };
  static int Index(FuseGroup group) { return static_cast<int>(group); }

  Tgui_Label_Form& AddLabel(const Rect& bounds, const std::string& cp949_text, Color color);
  Tgui_button_Form& AddButton(const Rect& bounds, const std::string& caption,
                              const std::string& balloon, std::function<void()> action);
  void BuildGroup(FuseGroup group, int left, int title_width);
  // A click on a box: the image's bit and the group's byte follow it.
  void TakeBox(FuseGroup group, int bit);
  template <typename Control>
  Control& Add(std::unique_ptr<Control> control, const Rect& bounds);

  Form& window_;
  const IdeOptions& options_;
  ChipImage& image_;
  std::vector<std::unique_ptr<Form>> controls_;
  std::array<Group, 4> groups_;
  Tgui_button_Form* reset_ = nullptr;
  Tgui_button_Form* save_ = nullptr;
};

}  // namespace tolmeo
