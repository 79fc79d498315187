#include "isp/programmer.h"

#include <bit>

#include "base/cp949.h"
#include "isp/hex_documents.h"

namespace tolmeo {
namespace {

// The serial instructions carry 16 address bits and an 8-bit index within a page.
constexpr std::uint32_t kReachableFlashWords = 65536;
constexpr std::uint32_t kReachableEepromBytes = 65536;
constexpr std::uint32_t kMaxPageWords = 256;

// The order the lock and fuse commands take the four bytes in: the lock byte last, so a chip
// is never locked before its fuses are set.
constexpr FuseGroup kFuseOrder[] = {FuseGroup::Extended, FuseGroup::High, FuseGroup::Low,
                                    FuseGroup::Lock};

const std::string& MissingWriteDocument(Memory memory) {
  return memory == Memory::Flash ? Ktext(u8"Flash 에 기록할 문서가 없습니다.")
                                 : Ktext(u8"EEprom 에 기록할 문서가 없습니다.");
}

const std::string& MissingVerifyDocument(Memory memory) {
  return memory == Memory::Flash ? Ktext(u8"Flash 의 내용을 비교할 문서가 없습니다.")
                                 : Ktext(u8"EEprom 의 내용을 비교할 문서가 없습니다.");
}

const std::string& VerifiedText(Memory memory) {
  return memory == Memory::Flash
             ? Ktext(u8"Flash 에 기록한 내용과 읽은 내용이 전부 일치합니다.")
             : Ktext(u8"EEprom 에 기록한 내용과 읽은 내용이 전부 일치합니다.");
}

class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

}  // namespace

std::optional<std::string> DescriptionProblem(const ChipImage& image) {
  const std::string& heading = Ktext(u8"이 AVR 명세문서로는 프로그램할 수 없습니다.\r\n");
  std::uint32_t page_words = image.PageWords();
  if (image.flashSize == 0 || image.eepromSize == 0) {
    return heading + Ktext(u8"명세문서가 읽히지 않았거나 메모리 크기가 0 입니다.");
  }
  if (!std::has_single_bit(page_words) || page_words > kMaxPageWords ||
      page_words > image.FlashWordCount()) {
    return heading + Ktext(u8"Flash 페이지 크기가 맞지 않습니다.");
  }
  if (image.FlashWordCount() > kReachableFlashWords || image.eepromSize > kReachableEepromBytes) {
    return heading + Ktext(u8"ISP 명령은 Flash 128 KB, EEprom 64 KB 까지만 다룰 수 있습니다.");
  }
  return std::nullopt;
}

const std::string& BusyRefusalText() {
  return Ktext(u8"다른 작업이 진행 중입니다. 그 작업이 끝난 뒤에 다시 해 주세요.");
}

Programmer::Programmer(IspInstructions& isp, ChipImage& image, EngineSeam& seam)
    : isp_(isp), image_(image), seam_(seam), operations_(isp, image, seam) {}

template <typename Body>
CommandOutcome Programmer::Guarded(bool needs_description, Body body) {
  if (busy_) {
    seam_.ShowNotice(kNoticeWarning, BusyRefusalText());
    return CommandOutcome::kRefused;
  }
  if (needs_description) {
    if (std::optional<std::string> problem = DescriptionProblem(image_)) {
      seam_.ShowNotice(kNoticeFailure, *problem);
      return CommandOutcome::kRefused;
    }
  }
  BusyScope scope(busy_);
  return body();
}

template <typename Body>
CommandOutcome Programmer::OnChip(Body body) {
  return Guarded(true, [&] {
    if (!isp_.EnterProgrammingMode() || !isp_.CheckSignature()) return CommandOutcome::kChipFailed;
    return body();
  });
}

std::optional<CommandOutcome> Programmer::RequireDocument(Memory memory,
                                                          const std::string& missing_text) {
  DocumentReadiness readiness = DocumentReady(memory, image_, seam_);
  switch (readiness.state) {
    case DocumentState::Ready: return std::nullopt;
    case DocumentState::None:
      seam_.ShowNotice(kNoticeWarning, missing_text);
      return CommandOutcome::kNoDocument;
    case DocumentState::Failed: break;
  }
  seam_.ShowNotice(kNoticeFailure, readiness.reason);
  return CommandOutcome::kDocumentFailed;
}

bool Programmer::WriteLoop(Memory memory) {
  return memory == Memory::Flash ? operations_.WriteFlash() : operations_.WriteEeprom();
}

bool Programmer::VerifyLoop(Memory memory, bool after_write) {
  Mismatch mismatch;
  bool same = after_write                ? operations_.VerifyAfterWrite(memory, mismatch)
              : memory == Memory::Flash ? operations_.VerifyFlash(mismatch)
                                        : operations_.VerifyEeprom(mismatch);
  // A chip that fell silent has had its own message.
  if (!same && !isp_.silent()) seam_.ShowNotice(kNoticeFailure, MismatchText(memory, mismatch));
  return same;
}

CommandOutcome Programmer::WriteMemory(Memory memory) {
  if (auto refused = RequireDocument(memory, MissingWriteDocument(memory))) return *refused;
  return WriteLoop(memory) ? CommandOutcome::kDone : CommandOutcome::kChipFailed;
}

CommandOutcome Programmer::VerifyMemory(Memory memory) {
  if (auto refused = RequireDocument(memory, MissingVerifyDocument(memory))) return *refused;
  if (!VerifyLoop(memory, false)) return CommandOutcome::kChipFailed;
  seam_.ShowNotice(kNoticeInfo, VerifiedText(memory));
  return CommandOutcome::kDone;
}

bool Programmer::WriteAllFuseBytes() {
  for (FuseGroup group : kFuseOrder) {
    image_.CollectBits(group);
    if (!isp_.WriteFuseByte(group)) return false;
  }
  return true;
}

// The windows are told even when a later byte fails: the groups read before it have changed.
bool Programmer::ReadAllFuseBytes() {
  bool read = true;
  for (FuseGroup group : kFuseOrder) {
    read = isp_.ReadFuseByte(group);
    if (!read) break;
    image_.ShowBits(group);
  }
  seam_.BitsChanged();
  return read;
}

CommandOutcome Programmer::Erase() {
  return OnChip([&] {
    isp_.ChipErase();
    return CommandOutcome::kDone;
  });
}

CommandOutcome Programmer::FlashWrite() {
  return OnChip([&] { return WriteMemory(Memory::Flash); });
}

CommandOutcome Programmer::FlashRead() {
  return OnChip([&] {
    const bool read = operations_.ReadFlash();
    seam_.ImageChanged();
    return read ? CommandOutcome::kDone : CommandOutcome::kChipFailed;
  });
}

CommandOutcome Programmer::FlashVerify() {
  return OnChip([&] { return VerifyMemory(Memory::Flash); });
}

CommandOutcome Programmer::EepromWrite() {
  return OnChip([&] { return WriteMemory(Memory::Eeprom); });
}

CommandOutcome Programmer::EepromRead() {
  return OnChip([&] {
    const bool read = operations_.ReadEeprom();
    seam_.ImageChanged();
    return read ? CommandOutcome::kDone : CommandOutcome::kChipFailed;
  });
}

CommandOutcome Programmer::EepromVerify() {
  return OnChip([&] { return VerifyMemory(Memory::Eeprom); });
}

CommandOutcome Programmer::LockFuseWrite() {
  return OnChip([&] { return WriteAllFuseBytes() ? CommandOutcome::kDone : CommandOutcome::kChipFailed; });
}

CommandOutcome Programmer::LockFuseRead() {
  return OnChip([&] { return ReadAllFuseBytes() ? CommandOutcome::kDone : CommandOutcome::kChipFailed; });
}

CommandOutcome Programmer::FuseByteWrite(FuseGroup group) {
  return OnChip([&] {
    image_.CollectBits(group);
    return isp_.WriteFuseByte(group) ? CommandOutcome::kDone : CommandOutcome::kChipFailed;
  });
}

CommandOutcome Programmer::FuseByteRead(FuseGroup group) {
  return OnChip([&] {
    if (!isp_.ReadFuseByte(group)) return CommandOutcome::kChipFailed;
    image_.ShowBits(group);
    seam_.BitsChanged();
    return CommandOutcome::kDone;
  });
}

CommandOutcome Programmer::AutoSequence() {
  return OnChip([&] {
    // Both documents are read before the erase, so an unreadable one stops the sequence while
    // the chip still holds what it had.
    DocumentReadiness flash = DocumentReady(Memory::Flash, image_, seam_);
    DocumentReadiness eeprom = DocumentReady(Memory::Eeprom, image_, seam_);
    for (const DocumentReadiness* readiness : {&flash, &eeprom}) {
      if (readiness->state != DocumentState::Failed) continue;
      seam_.ShowNotice(kNoticeFailure, readiness->reason);
      return CommandOutcome::kDocumentFailed;
    }
    isp_.ChipErase();
    for (auto [memory, readiness] : {std::pair{Memory::Flash, &flash}, {Memory::Eeprom, &eeprom}}) {
      if (readiness->state != DocumentState::Ready) continue;
      if (!WriteLoop(memory) || !VerifyLoop(memory, true)) return CommandOutcome::kChipFailed;
    }
    return WriteAllFuseBytes() ? CommandOutcome::kDone : CommandOutcome::kChipFailed;
  });
}

CommandOutcome Programmer::Run() {
  return Guarded(false, [&] {
    isp_.ReleaseTarget();
    return CommandOutcome::kDone;
  });
}

}  // namespace tolmeo
