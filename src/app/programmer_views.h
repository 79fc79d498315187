#pragma once
// What the engine needs of the programmer window below the command panel: the memory viewer's
// refresh and scroll range, and the lock and fuse bit editor. The programmer window plugs in
// here; until it does, NoProgrammerViews stands in its place, shows nothing and keeps the bit
// editor's boxes as plain data, so descriptions load and the lock and fuse commands work on
// the bytes they give.
#include "isp/chip_image.h"
#include "formats/fuse_boxes.h"

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

class NoProgrammerViews : public ProgrammerViews {
 public:
  explicit NoProgrammerViews(ChipImage& image) : image_(image) {}

  void RefreshViewer() override {}
  void UpdateViewerScrollRange() override {}
  void CollectBits(FuseGroup group) override { image_.FuseByte(group) = boxes_.Collect(group); }
  void ShowBits(FuseGroup group) override { boxes_.Show(group, image_.FuseByte(group)); }
  BitBox GetBitBox(FuseGroup group, int bit) const override { return boxes_.Box(group, bit); }
  void SetBitBox(FuseGroup group, int bit, const BitBox& box) override {
    boxes_.Box(group, bit) = box;
  }

 private:
  ChipImage& image_;
  FuseBoxes boxes_;
};

}  // namespace tolmeo
