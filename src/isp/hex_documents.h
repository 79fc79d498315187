#pragma once
// The Flash and EEPROM documents: Intel HEX files whose paths the chip image keeps and the two
// document labels of the command panel show. A document is not kept in memory; its path is,
// and the file is read again whenever a programming command needs it, so edits made by
// another program are picked up.
//
// For the programming commands: call FlashDocumentReady / EepromDocumentReady before writing or
// verifying. It re-reads the document into the erased image and tells one of three things:
//   None    no document is open: tell the user to open one (kind 1);
//   Ready   the image holds the document and its range is set: go on;
//   Failed  the file is missing or damaged, or its data lies beyond the chip's memory: nothing
//           may be sent; show `reason` (it names the file and what is wrong) as a kind 3 notice.
// The image is never left looking programmable after a failed read: its range is the whole
// chip, but the state says Failed, and only Ready means go.
#include <cstddef>
#include <string>

#include "base/result.h"
#include "isp/chip_image.h"
#include "isp/engine_seam.h"

namespace tolmeo {

enum class DocumentState { None, Ready, Failed };

struct DocumentReadiness {
  DocumentState state = DocumentState::None;
  std::string reason;  // CP949, set when Failed: the path and why it could not be read
};

// What a document label shows while no document is open: " Darimsol " for Flash and the
// maker's web address " www.darimsol.com " for EEPROM.
const std::string& NoDocumentText(Memory memory);

// Sets the document's path, erases the image, reads the file into it and sets the range from the
// addresses the file used (Flash byte addresses halved to words), then refreshes the viewer.
// After a failed read the path still names the file, so the next ready query says Failed.
DocumentReadiness OpenDocument(Memory memory, const std::string& path, ChipImage& image,
                               EngineSeam& seam);
// Erases the image and reads the file into it without touching the path or the viewer; the
// device description reader uses it after a new description is in force.
DocumentReadiness RereadDocument(Memory memory, const std::string& path, ChipImage& image);
// The file-open dialog; a picked file is opened, a failed read shown as a kind 3 notice.
// Cancelling changes nothing.
void ChooseDocument(Memory memory, ChipImage& image, EngineSeam& seam);

// The whole chip's memory as the image holds it (Flash bytes low byte first), written as Intel
// HEX to path whole or not at all; the number of bytes written, or why not (naming the path).
Result<std::size_t> WriteChipImage(Memory memory, const ChipImage& image, const std::string& path);
// The file-save dialog, then WriteChipImage; a failure is shown as a kind 3 notice.
// Cancelling writes nothing.
void SaveChipImage(Memory memory, const ChipImage& image, EngineSeam& seam);
// Erases the image, forgets the document's path, refreshes the viewer.
void CloseDocument(Memory memory, ChipImage& image, EngineSeam& seam);
// Re-reads the open document (see the top of this file).
DocumentReadiness DocumentReady(Memory memory, ChipImage& image, EngineSeam& seam);

// The same operations under the names the command panel and the programming commands use.
inline DocumentReadiness OpenFlashDocument(const std::string& path, ChipImage& image,
                                           EngineSeam& seam) {
  return OpenDocument(Memory::Flash, path, image, seam);
}
inline DocumentReadiness OpenEepromDocument(const std::string& path, ChipImage& image,
                                            EngineSeam& seam) {
  return OpenDocument(Memory::Eeprom, path, image, seam);
}
inline void ChooseFlashDocument(ChipImage& image, EngineSeam& seam) {
  ChooseDocument(Memory::Flash, image, seam);
}
inline void ChooseEepromDocument(ChipImage& image, EngineSeam& seam) {
  ChooseDocument(Memory::Eeprom, image, seam);
}
inline void CloseFlashDocument(ChipImage& image, EngineSeam& seam) {
  CloseDocument(Memory::Flash, image, seam);
}
inline void CloseEepromDocument(ChipImage& image, EngineSeam& seam) {
  CloseDocument(Memory::Eeprom, image, seam);
}
inline DocumentReadiness FlashDocumentReady(ChipImage& image, EngineSeam& seam) {
  return DocumentReady(Memory::Flash, image, seam);
}
inline DocumentReadiness EepromDocumentReady(ChipImage& image, EngineSeam& seam) {
  return DocumentReady(Memory::Eeprom, image, seam);
}

}  // namespace tolmeo
