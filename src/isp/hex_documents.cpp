#include "isp/hex_documents.h"

#include <algorithm>
#include <bit>
#include <bitset>
#include <span>
#include <vector>

#include "base/cp949.h"
#include "formats/intel_hex.h"
#include "formats/intel_hex_writer.h"

namespace tolmeo {
namespace {

// The reader fills the Flash words as bytes, low byte first, as Intel HEX addresses them.
static_assert(std::endian::native == std::endian::little,
              "the Flash image is read as little-endian bytes");

std::span<std::uint8_t> FlashArea(ChipImage& image) {
  auto* bytes = reinterpret_cast<std::uint8_t*>(image.flashWords.data());
  return {bytes, std::min(image.flashSize, kFlashCapacityBytes)};
}

std::span<std::uint8_t> EepromArea(ChipImage& image) {
  return {image.eepromBytes.data(), std::min(image.eepromSize, kEepromCapacityBytes)};
}

// Only what the file stores counts as defined; a Flash word counts when either byte does.
template <std::size_t N>
void KeepDefined(const HexRange& range, int bytes_per_item, std::bitset<N>& defined) {
  defined.reset();
  for (const HexSpan& span : range.spans) {
    for (std::uint32_t b = span.first; b < span.first + span.count; ++b) defined.set(b / bytes_per_item);
  }
}

// Erases the image, reads the file, and sets the range and the defined words only when the
// read succeeded. The range starts at the first word the file defines: the words before it
// are erased Flash, which a write of 0xFFFF would not change.
Result<HexRange> ReadFlash(const std::string& path, ChipImage& image) {
  image.InitFlashImage();
  auto range = ReadIntelHex(path, FlashArea(image));
  if (!range) return range;
  KeepDefined(*range, 2, image.flashDefined);
  image.flashStart = range->low / 2;
  image.flashEnd = range->high / 2;
  image.ClampFlashEnd();
  return range;
}

// The range starts at 0 as ever: unlike Flash, an EEPROM byte written 0xFF changes what the
// chip holds, so the bytes the file leaves out are still written with the erased value (and
// cost one read each where the chip holds it already).
Result<HexRange> ReadEeprom(const std::string& path, ChipImage& image) {
  image.InitEepromImage();
  auto range = ReadIntelHex(path, EepromArea(image));
  if (!range) return range;
  KeepDefined(*range, 1, image.eepromDefined);
  image.eepromStart = 0;
  image.eepromEnd = range->high;
  image.ClampEepromEnd();
  return range;
}

std::string OpenDialogTitle() { return Ktext(u8"::: 열기 ::: Darimsol :::"); }

}  // namespace

const std::string& NoDocumentText(Memory memory) {
  static const std::string flash = " Darimsol ";
  static const std::string eeprom = " www.darimsol.com ";
  return memory == Memory::Flash ? flash : eeprom;
}

DocumentReadiness RereadDocument(Memory memory, const std::string& path, ChipImage& image) {
  auto range = memory == Memory::Flash ? ReadFlash(path, image) : ReadEeprom(path, image);
  if (range) return {DocumentState::Ready, {}};
  return {DocumentState::Failed, path + ": " + range.reason()};
}

DocumentReadiness OpenDocument(Memory memory, const std::string& path, ChipImage& image,
                               EngineSeam& seam) {
  image.documents.Of(memory) = path;
  seam.DocumentChanged(memory);
  DocumentReadiness readiness = RereadDocument(memory, path, image);
  seam.ImageChanged();
  return readiness;
}

void ChooseDocument(Memory memory, ChipImage& image, EngineSeam& seam) {
  auto path = seam.ChooseFileToOpen(OpenDialogTitle(), "*.hex|*.hex");
  if (!path) return;
  DocumentReadiness readiness = OpenDocument(memory, *path, image, seam);
  if (readiness.state == DocumentState::Failed) seam.ShowNotice(kNoticeFailure, readiness.reason);
}

Result<std::size_t> WriteChipImage(Memory memory, const ChipImage& image, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (memory == Memory::Eeprom) {
    bytes.assign(image.eepromBytes.begin(), image.eepromBytes.begin() + image.eepromSize);
  } else {
    bytes.resize(image.flashSize);
    for (std::uint32_t b = 0; b < image.flashSize; ++b) bytes[b] = image.FlashByte(b);
  }
  if (Status written = WriteIntelHex(path, bytes); !written) return Failure{written.reason()};
  return bytes.size();
}

void SaveChipImage(Memory memory, const ChipImage& image, EngineSeam& seam) {
  auto path = seam.ChooseFileToSave(Ktext(u8"::: 저장 ::: Darimsol :::"), "", "*.hex|*.hex");
  if (!path) return;
  Result<std::size_t> written = WriteChipImage(memory, image, *path);
  if (!written) seam.ShowNotice(kNoticeFailure, written.reason());
}

void CloseDocument(Memory memory, ChipImage& image, EngineSeam& seam) {
  if (memory == Memory::Flash) {
    image.InitFlashImage();
  } else {
    image.InitEepromImage();
  }
  image.documents.Of(memory).clear();
  seam.DocumentChanged(memory);
  seam.ImageChanged();
}

DocumentReadiness DocumentReady(Memory memory, ChipImage& image, EngineSeam& seam) {
  if (!image.documents.Open(memory)) return {DocumentState::None, {}};
  // A copy: opening sets the path it reads from.
  const std::string path = image.documents.Of(memory);
  return OpenDocument(memory, path, image, seam);
}

}  // namespace tolmeo
