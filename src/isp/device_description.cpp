#include "isp/device_description.h"

#include <algorithm>

#include "base/file_system.h"
#include "base/run_folders.h"
#include "formats/description_text.h"
#include "isp/hex_documents.h"
#include "formats/tagged_text.h"

namespace tolmeo {
namespace {

constexpr std::string_view kExtension = "avrspec";
constexpr std::string_view kFolder = "AvrSpec/";

std::string FileName(std::string_view name) {
  return std::string(TrimBlanks(name)) + "." + std::string(kExtension);
}

void ApplyBits(const FuseBoxes& bits, ChipImage& image, EngineSeam& seam) {
  for (FuseGroup group : kFuseGroups) {
    for (int bit = 0; bit < 8; ++bit) seam.SetBitBox(group, bit, bits.Box(group, bit));
    image.FuseByte(group) = bits.Collect(group);
  }
}

void Apply(const DeviceDescription& d, ChipImage& image, EngineSeam& seam) {
  static_cast<ChipGeometry&>(image) = d;
  ApplyBits(d.bits, image, seam);
  image.InitFlashImage();
  image.InitEepromImage();
}

// A document that no longer fits the new chip stays open: the next ready query reports it.
void RereadOpenDocuments(ChipImage& image, EngineSeam& seam) {
  for (Memory memory : {Memory::Flash, Memory::Eeprom}) {
    if (DocumentOpen(memory, seam)) RereadDocument(memory, seam.DocumentLabel(memory), image);
  }
}

// The description in force, with the bit editor's boxes and freshly collected bytes.
DeviceDescription Current(ChipImage& image, EngineSeam& seam) {
  DeviceDescription d;
  static_cast<ChipGeometry&>(d) = image;
  for (FuseGroup group : kFuseGroups) {
    seam.CollectBits(group);
    for (int bit = 0; bit < 8; ++bit) {
      BitBox box = seam.GetBitBox(group, bit);
      box.checked = ((image.FuseByte(group) >> bit) & 1) == 0;
      d.bits.Box(group, bit) = box;
    }
  }
  return d;
}

}  // namespace

std::string DescriptionFolder() {
  return ShadowFolder(kFolder).value_or(DataFolder() + std::string(kFolder));
}

std::string DescriptionPath(std::string_view name) {
  std::string file = FileName(name);
  if (std::optional<std::string> own = ShadowFolder(kFolder); own && FileExists(*own + file)) {
    return *own + file;
  }
  return DataFolder() + std::string(kFolder) + file;
}

std::vector<std::string> ListDescriptions() {
  std::vector<std::string> files = ListFolder(DataFolder() + std::string(kFolder), kExtension);
  if (std::optional<std::string> own = ShadowFolder(kFolder)) {
    std::vector<std::string> own_files = ListFolder(*own, kExtension);
    files.insert(files.end(), own_files.begin(), own_files.end());
  }
  std::vector<std::string> names;
  for (const std::string& file : files) names.push_back(CutAtLastDot(file));
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

Status LoadDescription(const std::string& path, ChipImage& image, EngineSeam& seam) {
  auto text = ReadWholeFile(path);
  if (!text) return Failure{text.reason()};
  auto description = ParseDescription(*text);
  if (!description) return Failure{path + ": " + description.reason()};
  Apply(*description, image, seam);
  RereadOpenDocuments(image, seam);
  seam.UpdateViewerScrollRange();
  seam.RefreshViewer();
  return Success();
}

Status SaveDescription(const std::string& path, ChipImage& image, EngineSeam& seam) {
  auto text = FormatDescription(Current(image, seam));
  if (!text) return Failure{path + ": " + text.reason()};
  return WriteWholeFile(path, *text);
}

}  // namespace tolmeo
