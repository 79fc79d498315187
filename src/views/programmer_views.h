#pragma once
// What the engine needs of the programmer window below the command panel: the memory viewer's
// refresh and scroll range, and the lock and fuse bit editor.
#include "formats/fuse_boxes.h"
#include "views/ide_avr.h"

namespace tolmeo {

class ProgrammerViews {
 public:
  virtual ~ProgrammerViews() = default;
  virtual void RefreshViewer() = 0;
  virtual void UpdateViewerScrollRange() = 0;
  virtual void CollectBits(FuseGroup group) = 0;
  virtual void ShowBits(FuseGroup group) = 0;
  virtual BitBox GetBitBox(FuseGroup group, int bit) const = 0;
  virtual void SetBitBox(FuseGroup group, int bit, const BitBox& box) = 0;
};

// The views as the programmer window's controls answer them.
class AvrWindowViews : public ProgrammerViews {
 public:
  explicit AvrWindowViews(Tide_AVR_Form& window) : window_(window) {}

  void RefreshViewer() override;
  void UpdateViewerScrollRange() override;
  void CollectBits(FuseGroup group) override;
  void ShowBits(FuseGroup group) override;
  BitBox GetBitBox(FuseGroup group, int bit) const override;
  void SetBitBox(FuseGroup group, int bit, const BitBox& box) override;

 private:
  Tide_AVR_Form& window_;
};

}  // namespace tolmeo
