#pragma once
// An engine session on a simulated cable with a virtual ATmega8-like chip (4096 words, pages
// of 32 words unless told otherwise), the bit editor's boxes, both documents closed, a
// recording seam, and a temporary folder for documents.
#include <memory>
#include <string>

#include "isp/engine_session.h"
#include "support/recording_seam.h"
#include "support/temp_folder.h"

namespace tolmeo::testing {

class SimBench {
 public:
  // cable: any cable text whose chip is virtual ("sim", "usbasp:sim", "arduino:sim", "gpio:sim",
  // "ftdi:sim", ...).
  explicit SimBench(std::uint32_t flashPageSize = 64, const std::string& cable = "sim");

  Programmer& programmer() { return session->programmer(); }
  VirtualAvr& chip() { return session->rig().sim->chip(); }
  // Writes an Intel HEX document and opens it for the memory.
  void OpenDocument(Memory memory, const std::string& name, const std::string& hex_text);
  void SetBoxes(FuseGroup group, std::uint8_t value);
  // Data records for bytes starting at address, and the end record.
  static std::string HexText(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
  std::size_t instruction_count() { return chip().instructions().size(); }

  std::unique_ptr<ChipImage> image = std::make_unique<ChipImage>();
  RecordingSeam seam;
  std::int32_t speed = 0x10;  // the shipped default, which the virtual 1 MHz chip must hear
  TempFolder folder;
  std::unique_ptr<EngineSession> session;
};

}  // namespace tolmeo::testing
