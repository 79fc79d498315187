#include "sim_bench.h"

#include "isp/hex_documents.h"
#include "formats/intel_hex_writer.h"

namespace tolmeo::testing {

SimBench::SimBench(std::uint32_t flashPageSize, const std::string& cable) {
  image->flashSize = 8192;
  image->flashPageSize = flashPageSize;
  image->eepromSize = 512;
  image->flashWriteDelay = 5;
  image->eepromWriteDelay = 9;
  image->signature = {0x1E, 0x93, 0x07};
  image->lockBits = 0xFF;
  image->extendedFuse = 0xFF;
  image->highFuse = 0xD9;
  image->lowFuse = 0xE1;
  image->InitFlashImage();
  image->InitEepromImage();
  for (FuseGroup group : kFuseGroups) image->ShowBits(group);
  session = std::make_unique<EngineSession>(cable, *image, seam, speed);
  session->OpenPort();
}

void SimBench::OpenDocument(Memory memory, const std::string& name, const std::string& hex_text) {
  std::string path = folder.Write(name, hex_text);
  image->documents.Of(memory) = path;
}

void SimBench::SetBoxes(FuseGroup group, std::uint8_t value) { image->bits.Show(group, value); }

std::string SimBench::HexText(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> area(address + bytes.size(), 0xFF);
  std::copy(bytes.begin(), bytes.end(), area.begin() + address);
  std::string text = IntelHexText(area);
  // Keep only the records that hold the given bytes: drop the leading blank ones.
  std::size_t skip = address / 16;
  std::size_t at = 0;
  for (std::size_t i = 0; i < skip; ++i) at = text.find("\r\n", at) + 2;
  return text.substr(at);
}

}  // namespace tolmeo::testing
