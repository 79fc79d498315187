#include "cli/action_runner.h"

#include <vector>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"
#include "formats/intel_hex_writer.h"
#include "isp/device_description.h"
#include "isp/hex_documents.h"

namespace tolmeo::cli {
namespace {

// The order fuses:w takes its values in.
constexpr std::array<FuseGroup, 4> kTypedOrder = {FuseGroup::Lock, FuseGroup::Extended,
                                                  FuseGroup::High, FuseGroup::Low};

const char* GroupName(FuseGroup group) {
  switch (group) {
    case FuseGroup::Lock: return "Lock";
    case FuseGroup::Extended: return "Extended";
    case FuseGroup::High: return "High";
    case FuseGroup::Low: break;
  }
  return "Low";
}

const char* MemoryName(Memory memory) { return memory == Memory::Flash ? "Flash" : "EEPROM"; }

std::string ByteText(std::uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

// "Lock 0xFF, Extended 0xFD, High 0xDE, Low 0xFF"
std::string FusesText(const FuseBytes& bytes) {
  std::string text;
  for (std::size_t i = 0; i < kTypedOrder.size(); ++i) {
    if (i > 0) text += ", ";
    text += std::string(GroupName(kTypedOrder[i])) + " " + ByteText(bytes[i]);
  }
  return text;
}

const std::string& AutoFusesSource(AutoFuses source) {
  switch (source) {
    case AutoFuses::kDescription: return Ktext(u8"명세문서의 값");
    case AutoFuses::kChip: return Ktext(u8"칩에 있던 값 그대로");
    case AutoFuses::kGiven: break;
  }
  return Ktext(u8"주어진 값");
}

std::string AutoSteps(const Action& action) {
  std::string steps = Ktext(u8"지우기");
  if (!action.flash_file.empty()) steps += Ktext(u8", Flash 기록과 비교");
  if (!action.eeprom_file.empty()) steps += Ktext(u8", EEPROM 기록과 비교");
  return steps + Ktext(u8", Lock·퓨즈 기록");
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

int PrintDescriptionList(TerminalSeam& seam, std::FILE* out) {
  std::vector<std::string> names = ListDescriptions();
  if (names.empty()) {
    seam.ShowNotice(kNoticeFailure, Ktext(u8"명세문서가 없습니다: ") + DataFolder() +
                                         Ktext(u8"AvrSpec/ 에서 *.avrspec 파일을 찾지 못했습니다. "
                                               u8"빌드가 만든 실행 폴더(build/run)의 tolmeo-cli 를 쓰세요."));
    return kExitSetup;
  }
  for (const std::string& name : names) std::fprintf(out, "%s\n", Utf8FromCp949(name).c_str());
  return kExitOk;
}

ActionRunner::ActionRunner(Programmer& programmer, ChipImage& image, TerminalSeam& seam,
                           std::FILE* out)
    : programmer_(programmer), image_(image), seam_(seam), out_(out) {
  for (std::size_t i = 0; i < kTypedOrder.size(); ++i) {
    description_fuses_[i] = image_.bits.Collect(kTypedOrder[i]);
  }
}

void ActionRunner::NameDocument(Memory memory, const std::string& path) {
  image_.documents.Of(memory) = path;
}

int ActionRunner::Said(int status, const std::string& line) {
  if (status == kExitOk) seam_.ShowNotice(kNoticeInfo, line);
  return status;
}

int ActionRunner::WriteDocument(Memory memory, const std::string& path) {
  NameDocument(memory, path);
  CommandOutcome outcome = memory == Memory::Flash ? programmer_.FlashWrite() : programmer_.EepromWrite();
  return Said(ExitStatusOf(outcome),
              std::string(MemoryName(memory)) + Ktext(u8" 에 ") + path + Ktext(u8" 을(를) 기록했습니다."));
}

int ActionRunner::ReadIntoFile(Memory memory, const std::string& path) {
  CommandOutcome outcome = memory == Memory::Flash ? programmer_.FlashRead() : programmer_.EepromRead();
  if (outcome != CommandOutcome::kDone) return ExitStatusOf(outcome);
  Result<std::size_t> written = WriteChipImage(memory, image_, path);
  if (!written) {
    seam_.ShowNotice(kNoticeFailure, written.reason());
    return kExitUsage;
  }
  return Said(kExitOk, std::string(MemoryName(memory)) + " " + std::to_string(*written) +
                           Ktext(u8" 바이트를 읽어 ") + path + Ktext(u8" 에 저장했습니다."));
}

// Bits the description marks as fixed keep the description's value, as in the bit editor:
// they guard the chip (the serial-programming enable bit, for one) against a typing slip.
FuseBytes ActionRunner::PrepareFuses(const FuseBytes& bytes) {
  FuseBytes kept{};
  for (std::size_t i = 0; i < kTypedOrder.size(); ++i) {
    image_.bits.Show(kTypedOrder[i], bytes[i]);
    kept[i] = image_.bits.Collect(kTypedOrder[i]);
    if (kept[i] == bytes[i]) continue;
    seam_.ShowNotice(kNoticeWarning,
                     std::string(GroupName(kTypedOrder[i])) +
                         Ktext(u8": 명세문서에서 고정된 비트는 제 값을 지키므로 ") + ByteText(bytes[i]) +
                         Ktext(u8" 대신 ") + ByteText(kept[i]) + Ktext(u8" 을(를) 씁니다."));
  }
  return kept;
}

FuseBytes ActionRunner::ChipFuses() const {
  FuseBytes bytes{};
  for (std::size_t i = 0; i < kTypedOrder.size(); ++i) bytes[i] = image_.FuseByte(kTypedOrder[i]);
  return bytes;
}

int ActionRunner::WriteFuses(const FuseBytes& bytes) {
  FuseBytes written = PrepareFuses(bytes);
  return Said(ExitStatusOf(programmer_.LockFuseWrite()),
              Ktext(u8"Lock, 퓨즈 바이트를 기록했습니다: ") + FusesText(written));
}

int ActionRunner::ReadFuses() {
  int status = ExitStatusOf(programmer_.LockFuseRead());
  return Said(status, Ktext(u8"Lock, 퓨즈 바이트를 읽었습니다: ") + FusesText(ChipFuses()));
}

// Says which lock and fuse bytes it will write before the erase, so the user can still stop a
// run that would change the chip's clock or boot settings.
int ActionRunner::Auto(const Action& action) {
  FuseBytes bytes = action.fuses;
  if (action.auto_fuses == AutoFuses::kDescription) bytes = description_fuses_;
  if (action.auto_fuses == AutoFuses::kChip) {
    if (int status = ExitStatusOf(programmer_.LockFuseRead()); status != kExitOk) return status;
    bytes = ChipFuses();
  }
  bytes = PrepareFuses(bytes);
  seam_.ShowNotice(kNoticeInfo, Ktext(u8"자동: ") + AutoSteps(action) + Ktext(u8". 기록할 Lock, 퓨즈 바이트 (") +
                                    AutoFusesSource(action.auto_fuses) + "): " + FusesText(bytes));
  NameDocument(Memory::Flash, action.flash_file);
  NameDocument(Memory::Eeprom, action.eeprom_file);
  return Said(ExitStatusOf(programmer_.AutoSequence()), Ktext(u8"자동 순서를 마쳤습니다: ") + AutoSteps(action) + ".");
}

int ActionRunner::Run(const Action& action) {
  switch (action.kind) {
    case ActionKind::kErase:
      return Said(ExitStatusOf(programmer_.Erase()), Ktext(u8"칩을 지웠습니다 (Flash, EEPROM, Lock 비트)."));
    case ActionKind::kFlashWrite: return WriteDocument(Memory::Flash, action.flash_file);
    case ActionKind::kFlashVerify:
      NameDocument(Memory::Flash, action.flash_file);
      return ExitStatusOf(programmer_.FlashVerify());  // the verify says itself that all matched
    case ActionKind::kFlashRead: return ReadIntoFile(Memory::Flash, action.flash_file);
    case ActionKind::kEepromWrite: return WriteDocument(Memory::Eeprom, action.eeprom_file);
    case ActionKind::kEepromVerify:
      NameDocument(Memory::Eeprom, action.eeprom_file);
      return ExitStatusOf(programmer_.EepromVerify());
    case ActionKind::kEepromRead: return ReadIntoFile(Memory::Eeprom, action.eeprom_file);
    case ActionKind::kFusesRead: return ReadFuses();
    case ActionKind::kFusesWrite: return WriteFuses(action.fuses);
    case ActionKind::kAuto: return Auto(action);
    case ActionKind::kRun:
      return Said(ExitStatusOf(programmer_.Run()),
                  Ktext(u8"칩을 놓아 주었습니다. 이제 칩의 프로그램이 실행됩니다."));
    case ActionKind::kList: case ActionKind::kProbe: break;
  }
  return PrintDescriptionList(seam_, out_);
}

}  // namespace tolmeo::cli
