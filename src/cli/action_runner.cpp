#include "cli/action_runner.h"

#include <vector>

#include "base/cp949.h"
#include "isp/device_description.h"
#include "isp/hex_documents.h"
#include "formats/intel_hex_writer.h"

namespace tolmeo::cli {
namespace {

// The order fuses:w takes its values in.
constexpr std::array<FuseGroup, 4> kTypedOrder = {FuseGroup::Lock, FuseGroup::Extended,
                                                  FuseGroup::High, FuseGroup::Low};

const char* GroupName(FuseGroup group) {
  switch (group) {
    case FuseGroup::Lock: return "lock";
    case FuseGroup::Extended: return "extended";
    case FuseGroup::High: return "high";
    case FuseGroup::Low: break;
  }
  return "low";
}

std::vector<std::uint8_t> ChipBytes(const ChipImage& image, Memory memory) {
  if (memory == Memory::Eeprom) {
    return {image.eepromBytes.begin(), image.eepromBytes.begin() + image.eepromSize};
  }
  std::vector<std::uint8_t> bytes(image.flashSize);
  for (std::uint32_t b = 0; b < image.flashSize; ++b) bytes[b] = image.FlashByte(b);
  return bytes;
}

}  // namespace

int ExitStatusOf(CommandOutcome outcome) {
  switch (outcome) {
    case CommandOutcome::kDone: return kExitOk;
    case CommandOutcome::kChipFailed: return kExitChipFailed;
    case CommandOutcome::kNoDocument:
    case CommandOutcome::kDocumentFailed:
    case CommandOutcome::kRefused: break;
  }
  return kExitUsage;
}

void PrintDescriptionList(std::FILE* out) {
  for (const std::string& name : ListDescriptions()) {
    std::fprintf(out, "%s\n", Utf8FromCp949(name).c_str());
  }
}

ActionRunner::ActionRunner(Programmer& programmer, ChipImage& image, TerminalSeam& seam,
                           std::FILE* out)
    : programmer_(programmer), image_(image), seam_(seam), out_(out) {}

void ActionRunner::NameDocument(Memory memory, const std::string& utf8_path) {
  seam_.SetDocumentLabel(memory, utf8_path.empty() ? NoDocumentText(memory) : Cp949FromUtf8(utf8_path));
}

int ActionRunner::ReadIntoFile(Memory memory, const std::string& utf8_path) {
  CommandOutcome outcome = memory == Memory::Flash ? programmer_.FlashRead() : programmer_.EepromRead();
  if (outcome != CommandOutcome::kDone) return ExitStatusOf(outcome);
  std::vector<std::uint8_t> bytes = ChipBytes(image_, memory);
  Status written = WriteIntelHex(Cp949FromUtf8(utf8_path), bytes);
  if (!written) {
    seam_.ShowNotice(kNoticeFailure, written.reason());
    return kExitUsage;
  }
  std::fprintf(out_, "%s: %zu bytes read into %s\n", memory == Memory::Flash ? "Flash" : "EEPROM",
               bytes.size(), utf8_path.c_str());
  return kExitOk;
}

// Bits the description marks as fixed keep the description's value, as in the bit editor:
// they guard the chip (the serial-programming enable bit, for one) against a typing slip.
int ActionRunner::WriteFuses(const std::array<std::uint8_t, 4>& values) {
  for (std::size_t i = 0; i < kTypedOrder.size(); ++i) {
    seam_.boxes().Show(kTypedOrder[i], values[i]);
    std::uint8_t kept = seam_.boxes().Collect(kTypedOrder[i]);
    if (kept == values[i]) continue;
    char text[160];
    std::snprintf(text, sizeof text,
                  "%s: bits marked fixed in the description keep their value: writing 0x%02X "
                  "instead of 0x%02X", GroupName(kTypedOrder[i]), kept, values[i]);
    seam_.ShowNotice(kNoticeWarning, text);
  }
  return ExitStatusOf(programmer_.LockFuseWrite());
}

int ActionRunner::ReadFuses() {
  CommandOutcome outcome = programmer_.LockFuseRead();
  if (outcome != CommandOutcome::kDone) return ExitStatusOf(outcome);
  for (FuseGroup group : kTypedOrder) {
    std::fprintf(out_, "%s 0x%02X\n", GroupName(group), image_.FuseByte(group));
  }
  return kExitOk;
}

int ActionRunner::Run(const Action& action) {
  switch (action.kind) {
    case ActionKind::kErase: return ExitStatusOf(programmer_.Erase());
    case ActionKind::kFlashWrite:
      NameDocument(Memory::Flash, action.flash_file);
      return ExitStatusOf(programmer_.FlashWrite());
    case ActionKind::kFlashVerify:
      NameDocument(Memory::Flash, action.flash_file);
      return ExitStatusOf(programmer_.FlashVerify());
    case ActionKind::kFlashRead: return ReadIntoFile(Memory::Flash, action.flash_file);
    case ActionKind::kEepromWrite:
      NameDocument(Memory::Eeprom, action.eeprom_file);
      return ExitStatusOf(programmer_.EepromWrite());
    case ActionKind::kEepromVerify:
      NameDocument(Memory::Eeprom, action.eeprom_file);
      return ExitStatusOf(programmer_.EepromVerify());
    case ActionKind::kEepromRead: return ReadIntoFile(Memory::Eeprom, action.eeprom_file);
    case ActionKind::kFusesRead: return ReadFuses();
    case ActionKind::kFusesWrite: return WriteFuses(action.fuses);
    case ActionKind::kAuto:
      NameDocument(Memory::Flash, action.flash_file);
      NameDocument(Memory::Eeprom, action.eeprom_file);
      return ExitStatusOf(programmer_.AutoSequence());
    case ActionKind::kRun: return ExitStatusOf(programmer_.Run());
    case ActionKind::kList: break;
  }
  PrintDescriptionList(out_);
  return kExitOk;
}

}  // namespace tolmeo::cli
