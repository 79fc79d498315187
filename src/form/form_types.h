#pragma once
// The small value types the form library hands to its handlers: points, mouse buttons,
// modifier states, key codes, pointer shapes, window states and modal results.
#include <cstdint>
#include <string>

namespace tolmeo {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

enum class MouseButton { Left, Right, Middle };

// Modifier keys and held mouse buttons at the time of an event, as bit flags.
using ShiftState = std::uint32_t;
inline constexpr ShiftState kShiftKey = 1u << 0;
inline constexpr ShiftState kAltKey = 1u << 1;
inline constexpr ShiftState kCtrlKey = 1u << 2;
inline constexpr ShiftState kLeftButton = 1u << 3;
inline constexpr ShiftState kRightButton = 1u << 4;
inline constexpr ShiftState kMiddleButton = 1u << 5;
inline constexpr ShiftState kDoubleClick = 1u << 6;  // the press is the second of a double click

inline constexpr ShiftState ButtonFlag(MouseButton button) {
  return button == MouseButton::Left    ? kLeftButton
         : button == MouseButton::Right ? kRightButton
                                        : kMiddleButton;
}

// Key codes follow the window system's virtual-key numbering, so letters are 'A'..'Z' and
// digits '0'..'9'; 0 means a key Tolmeo has no name for.
using Key = int;
inline constexpr Key kKeyBackspace = 0x08;
inline constexpr Key kKeyTab = 0x09;
inline constexpr Key kKeyReturn = 0x0D;
inline constexpr Key kKeyShift = 0x10;
inline constexpr Key kKeyControl = 0x11;
inline constexpr Key kKeyAlt = 0x12;
inline constexpr Key kKeyEscape = 0x1B;
inline constexpr Key kKeySpace = 0x20;
inline constexpr Key kKeyPageUp = 0x21;
inline constexpr Key kKeyPageDown = 0x22;
inline constexpr Key kKeyEnd = 0x23;
inline constexpr Key kKeyHome = 0x24;
inline constexpr Key kKeyLeft = 0x25;
inline constexpr Key kKeyUp = 0x26;
inline constexpr Key kKeyRight = 0x27;
inline constexpr Key kKeyDown = 0x28;
inline constexpr Key kKeyInsert = 0x2D;
inline constexpr Key kKeyDelete = 0x2E;
inline constexpr Key kKeyF1 = 0x70;  // F2..F12 follow in order
inline constexpr Key kKeyHangul = 0x15;  // switches the input method between Hangul and Latin
inline constexpr Key kKeyHanja = 0x19;   // converts the syllable being composed to Hanja
inline constexpr Key kKeyNumpad0 = 0x60;  // Numpad1..Numpad9 follow in order
inline constexpr Key kKeyMultiply = 0x6A;
inline constexpr Key kKeyAdd = 0x6B;
inline constexpr Key kKeySubtract = 0x6D;
inline constexpr Key kKeyDecimal = 0x6E;
inline constexpr Key kKeyDivide = 0x6F;

// One step of the input method's work on a syllable, in this order: Start, then Update with
// each new state of the syllable being composed, then Commit with the finished text (when the
// user did not cancel), then End. Texts are CP949.
struct CompositionEvent {
  enum class Kind { Start, Update, Commit, End } kind = Kind::Start;
  std::string cp949_text;
};

enum class CursorShape { Default, SizeWestEast, SizeNorthSouth, SizeNortheastSouthwest,
                         SizeNorthwestSoutheast, IBeam, Hand, Wait };

enum class WindowState { Normal, Maximized, Minimized };

// What a top-level window is to the window manager. Everything but the main window belongs to
// the main window: no task-bar entry of its own, kept above it and minimised with it.
enum class WindowRole { Main, Dialog, DropDownList, PopupMenu, Tooltip };
// The pop-ups: drop-down lists, pop-up menus and tooltips, which borrow the focus while shown.
inline bool IsPopupRole(WindowRole role) {
  return role == WindowRole::DropDownList || role == WindowRole::PopupMenu || role == WindowRole::Tooltip;
}

// What a modal form answers; anything but kModalNone ends its modal loop.
using ModalResult = int;
inline constexpr ModalResult kModalNone = 0;
inline constexpr ModalResult kModalOk = 1;
inline constexpr ModalResult kModalCancel = 2;

// What closing a form does, chosen by its FormClose handler.
enum class CloseAction { None, Hide };

}  // namespace tolmeo
