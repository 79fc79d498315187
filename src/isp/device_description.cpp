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

void Apply(const DeviceDescription& d, ChipImage& image) {
  static_cast<ChipGeometry&>(image) = d;
  image.bits = d.bits;
  for (FuseGroup group : kFuseGroups) image.CollectBits(group);
  image.InitFlashImage();
  image.InitEepromImage();
}

// A document that no longer fits the new chip stays open: the next ready query reports it.
void RereadOpenDocuments(ChipImage& image) {
  for (Memory memory : {Memory::Flash, Memory::Eeprom}) {
    if (image.documents.Open(memory)) RereadDocument(memory, image.documents.Of(memory), image);
  }
}

// The description in force, with the bits as the boxes show them and freshly collected bytes.
DeviceDescription Current(ChipImage& image) {
  DeviceDescription d;
  static_cast<ChipGeometry&>(d) = image;
  for (FuseGroup group : kFuseGroups) image.CollectBits(group);
  d.bits = image.bits;
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
  Apply(*description, image);
  RereadOpenDocuments(image);
  seam.BitsChanged();
  seam.ImageChanged();
  return Success();
}

Status SaveDescription(const std::string& path, ChipImage& image) {
  auto text = FormatDescription(Current(image));
  if (!text) return Failure{path + ": " + text.reason()};
  return WriteWholeFile(path, *text);
}

}  // namespace tolmeo
