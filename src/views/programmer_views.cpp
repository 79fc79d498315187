#include "views/programmer_views.h"

namespace tolmeo {

void AvrWindowViews::RefreshViewer() {
  Tmemory_Viewer_Form& viewer = window_.viewer();
  viewer.Refresh(viewer.view_mode());
}

void AvrWindowViews::UpdateViewerScrollRange() { window_.viewer().UpdateScrollRange(); }

void AvrWindowViews::CollectBits(FuseGroup group) { window_.bit_editor().CollectBits(group); }

void AvrWindowViews::ShowBits(FuseGroup group) { window_.bit_editor().ShowBits(group); }

BitBox AvrWindowViews::GetBitBox(FuseGroup group, int bit) const {
  return window_.bit_editor().GetBitBox(group, bit);
}

void AvrWindowViews::SetBitBox(FuseGroup group, int bit, const BitBox& box) {
  window_.bit_editor().SetBitBox(group, bit, box);
}

}  // namespace tolmeo
