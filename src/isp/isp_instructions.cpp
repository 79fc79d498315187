#include "isp/isp_instructions.h"

#include <algorithm>

#include "base/cp949.h"
#include "isp/hex_text.h"

namespace tolmeo {
namespace {

struct FuseOpcodes {
  std::uint8_t write;       // second byte after 0xAC
  std::uint8_t read_first;  // first two bytes of the read
  std::uint8_t read_second;
};

FuseOpcodes OpcodesOf(FuseGroup group) {
  switch (group) {
    case FuseGroup::Lock: return {0xE0, 0x58, 0x00};
    case FuseGroup::Extended: return {0xA4, 0x50, 0x08};
    case FuseGroup::High: return {0xA8, 0x58, 0x08};
    case FuseGroup::Low: break;
  }
  return {0xA0, 0x50, 0x00};
}

std::uint8_t High(std::uint32_t address) { return static_cast<std::uint8_t>(address >> 8); }
std::uint8_t Low(std::uint32_t address) { return static_cast<std::uint8_t>(address); }

// The probe reads the high fuse: its second byte (0x08) is neither level of a stuck MISO line.
constexpr std::uint8_t kProbeSecondByte = 0x08;

// EEPROM is read in blocks of this many bytes on a programmer with page commands.
constexpr std::uint32_t kEepromReadBlock = 64;

// The waits after instructions whose end the chip cannot be asked about, with a wide margin
// over the datasheets' times (about 10 ms for a chip erase, 4.5 ms for a fuse byte).
constexpr std::int32_t kChipEraseWaitMs = 100;
constexpr std::int32_t kFuseWriteWaitMs = 10;

std::string SignatureBytes(const Signature& signature) {
  return HexDigits(signature[0], 2) + " " + HexDigits(signature[1], 2) + " " + HexDigits(signature[2], 2);
}

bool EchoAmbiguous(std::uint8_t second_byte, std::uint8_t answer) {
  return (second_byte == 0x00 || second_byte == 0xFF) && answer == second_byte;
}

}  // namespace

std::string SignatureQuestion(const Signature& read, const Signature& expected) {
  return Ktext(u8"연결된 AVR 종류가 명세문서의 종류와 일치하지 않습니다.\r\n읽은 시그너처 ") +
         SignatureBytes(read) + Ktext(u8", 명세문서의 시그너처 ") + SignatureBytes(expected) + "\r\n" +
         AnswerByButtonsLine();
}

const std::string& AnswerByButtonsLine() {
  return Ktext(u8"그래도 계속 진행하려면 \"확인\" 을 그렇지 않은 경우는 \"취소\" 를 눌러주세요.");
}

const char* FuseGroupName(FuseGroup group) {
  switch (group) {
    case FuseGroup::Lock: return "Lock";
    case FuseGroup::Extended: return "Extended fuse";
    case FuseGroup::High: return "High fuse";
    case FuseGroup::Low: break;
  }
  return "Low fuse";
}

std::string IspInstructions::AddressText(Memory memory, std::uint32_t address) {
  return (memory == Memory::Flash ? "Flash" : "EEprom") + Ktext(u8" 의 주소 ") + HexDigits(address, 8);
}

IspInstructions::IspInstructions(LineDriver& driver, ChipImage& image, EngineSeam& seam)
    : own_link_(std::make_unique<BitBangLink>(driver)),
      link_(*own_link_),
      bit_bang_(own_link_.get()),
      image_(image),
      seam_(seam),
      isp_speed_(driver.isp_speed()),
      capabilities_(link_.Capabilities()) {}

IspInstructions::IspInstructions(IspLink& link, ChipImage& image, EngineSeam& seam, const std::int32_t& isp_speed)
    : link_(link),
      bit_bang_(dynamic_cast<BitBangLink*>(&link)),
      image_(image),
      seam_(seam),
      isp_speed_(isp_speed),
      capabilities_(link.Capabilities()) {}

void IspInstructions::SendByte(std::uint8_t value) {
  if (bit_bang_) bit_bang_->SendByte(value);
}

std::uint8_t IspInstructions::ReceiveByte() { return bit_bang_ ? bit_bang_->ReceiveByte() : 0xFF; }

std::uint8_t IspInstructions::TransferByte(std::uint8_t value) {
  return bit_bang_ ? bit_bang_->TransferByte(value) : 0xFF;
}

void IspInstructions::SendInstruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                                      std::uint8_t b3) {
  Forget();
  link_.Send({b0, b1, b2, b3});
}

std::uint8_t IspInstructions::QueryInstruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  return QueryInstructions(std::array{IspQuery{b0, b1, b2}}).front();
}

// Where the echoes cannot tell, one probe after the reads decides for all of them: a chip
// that fell silent during them stays silent.
std::vector<std::uint8_t> IspInstructions::QueryInstructions(std::span<const IspQuery> queries) {
  std::vector<IspReply> replies(queries.size());
  link_.QueryAll(queries, replies);
  std::vector<std::uint8_t> values;
  bool ambiguous = false;
  for (std::size_t i = 0; i < queries.size(); ++i) {
    values.push_back(replies[i].value);
    if (capabilities_.echoes && replies[i].echo != queries[i].b1) silent_ = true;
    ambiguous = ambiguous || EchoAmbiguous(queries[i].b1, replies[i].value);
  }
  if (link_.Lost() || (!silent_ && capabilities_.echoes && ambiguous && !ChipAnswers())) silent_ = true;
  return values;
}

bool IspInstructions::ChipAnswers() {
  if (!capabilities_.echoes) {
    // A stuck MISO line reads 0x00 or 0xFF; no AVR has either as its first signature byte.
    const std::uint8_t first = link_.Query(0x30, 0x00, 0x00).value;
    return !link_.Lost() && first != 0x00 && first != 0xFF && first == first_signature_byte_;
  }
  return link_.Query(0x58, kProbeSecondByte, 0x00).echo == kProbeSecondByte && !link_.Lost();
}

bool IspInstructions::ConfirmContact() {
  if (!silent_ && !ChipAnswers()) silent_ = true;
  return !silent_;
}

void IspInstructions::ReportSilence(const std::string& what) {
  seam_.ShowNotice(kNoticeFailure, what + Ktext(u8" 을(를) 읽는 중에 칩이 응답하지 않게 되었습니다.\r\n"
                                                u8"케이블 연결과 칩의 전원을 확인해 주세요."));
}

bool IspInstructions::EnterProgrammingMode() {
  static const std::string& failed = Ktext(u8"프로그램모드로 진입하지 못했습니다.");
  if (!link_.Opened()) {
    Status opened = link_.Open();
    if (!opened) {
      seam_.ShowNotice(kNoticeFailure, failed + "\r\n" + opened.reason());
      return false;
    }
  }
  silent_ = false;
  signature_matched_ = false;
  first_signature_byte_.reset();
  Forget();
  if (!link_.EnterProgramming(IspDelayNs(isp_speed_))) {
    const std::string problem = link_.EntryProblem();
    seam_.ShowNotice(kNoticeFailure, problem.empty() ? failed : failed + "\r\n" + problem);
    return false;
  }
  capabilities_ = link_.Capabilities();  // a programmer that clocks SCK itself chose its rate now
  return true;
}

void IspInstructions::ReleaseTarget() { link_.ReleaseTarget(); }

bool IspInstructions::CheckSignature() {
  Signature signature = ReadSignature();
  if (!ConfirmContact()) {
    ReportSilence(Ktext(u8"칩의 시그너처"));
    return false;
  }
  signature_matched_ = signature == image_.signature;
  if (signature_matched_) return true;
  return seam_.AskConfirm(kNoticeWarning, SignatureQuestion(signature, image_.signature));
}

void IspInstructions::ChipErase() {
  SendInstruction(0xAC, 0x80, 0x00, 0x00);
  link_.SleepMs(kChipEraseWaitMs);
}

Signature IspInstructions::ReadSignature() {
  Signature signature{};
  for (std::uint8_t i = 0; i < 3; ++i) signature[i] = QueryInstruction(0x30, 0x00, i);
  first_signature_byte_ = signature[0];
  return signature;
}

void IspInstructions::WriteFuse(FuseGroup group) {
  SendInstruction(0xAC, OpcodesOf(group).write, 0x00, image_.FuseByte(group));
  link_.SleepMs(kFuseWriteWaitMs);
}

std::uint8_t IspInstructions::QueryFuse(FuseGroup group) {
  FuseOpcodes opcodes = OpcodesOf(group);
  return QueryInstruction(opcodes.read_first, opcodes.read_second, 0x00);
}

std::uint8_t IspInstructions::PresentBits(FuseGroup group) const {
  std::uint8_t present = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (image_.bits.Box(group, bit).name != "-") present |= static_cast<std::uint8_t>(1u << bit);
  }
  return present;
}

bool IspInstructions::SameFuse(FuseGroup group, std::uint8_t wanted, std::uint8_t read) const {
  return ((wanted ^ read) & PresentBits(group)) == 0;
}

bool IspInstructions::ReadFuseByte(FuseGroup group) {
  std::uint8_t value = QueryFuse(group);
  if (!ConfirmContact()) {
    ReportSilence(FuseGroupName(group) + Ktext(u8" 바이트"));
    return false;
  }
  image_.FuseByte(group) = value;
  return true;
}

bool IspInstructions::WriteLockBits(std::uint8_t wanted) {
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    WriteFuse(FuseGroup::Lock);
    std::uint8_t read = QueryFuse(FuseGroup::Lock);
    if (!ConfirmContact()) {
      ReportSilence(Ktext(u8"Lock 바이트"));
      return false;
    }
    if (SameFuse(FuseGroup::Lock, wanted, read)) return true;
  }
  ReportWriteExhausted(Ktext(u8"Lock 비트에"));
  return false;
}

// A fuse byte that did not take is not written again: a fuse that will not change is a chip
// problem (locked, or a bit it does not have) that repeating cannot mend.
bool IspInstructions::WriteFuseByte(FuseGroup group) {
  if (group == FuseGroup::Lock) return WriteLockBits(image_.lockBits);
  const std::uint8_t wanted = image_.FuseByte(group);
  WriteFuse(group);
  const std::uint8_t read = QueryFuse(group);
  if (!ConfirmContact()) {
    ReportSilence(FuseGroupName(group) + Ktext(u8" 바이트"));
    return false;
  }
  if (SameFuse(group, wanted, read)) return true;
  ReportFuseNotTaken(group, wanted, read);
  return false;
}

void IspInstructions::ReportFuseNotTaken(FuseGroup group, std::uint8_t wanted, std::uint8_t read) {
  seam_.ShowNotice(kNoticeFailure, FuseGroupName(group) + Ktext(u8" 바이트에 0x") + HexDigits(wanted, 2) +
                                       Ktext(u8" 을(를) 기록했지만 다시 읽은 값은 0x") + HexDigits(read, 2) +
                                       Ktext(u8" 입니다."));
}

void IspInstructions::LoadFlashWord(std::uint32_t index, std::uint16_t word) {
  std::uint8_t in_page = static_cast<std::uint8_t>(index & (image_.PageWords() - 1));
  if (capabilities_.flash_pages) {
    loaded_.resize(image_.PageWords(), 0xFFFF);
    loaded_[in_page] = word;
    return;
  }
  SendInstruction(0x40, 0x00, in_page, Low(word));
  SendInstruction(0x48, 0x00, in_page, High(word));
}

bool IspInstructions::WriteFlashPageOnce(std::uint32_t page) {
  if (!capabilities_.flash_pages) {
    SendInstruction(0x4C, High(page), Low(page), 0x00);
    link_.SleepMs(image_.flashWriteDelay);
    return true;
  }
  Forget();
  loaded_.resize(image_.PageWords(), 0xFFFF);
  // The programmer waits out the write itself.
  if (!link_.WriteFlashPage(page, loaded_)) silent_ = true;
  return !silent_;
}

bool IspInstructions::WriteFlashPage(std::uint32_t address) {
  std::uint32_t page_words = image_.PageWords();
  std::uint32_t page = address & ~(page_words - 1);
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    const bool same = WriteFlashPageOnce(page) && CompareFlash(page, page + page_words - 1);
    if (silent_) {
      ReportSilence(AddressText(Memory::Flash, page) + Ktext(u8" 의 페이지"));
      return false;
    }
    if (same) return true;
  }
  ReportWriteExhausted(AddressText(Memory::Flash, page) + Ktext(u8" 에"));
  return false;
}

std::uint16_t IspInstructions::ReadCachedFlashWord(std::uint32_t address) {
  if (!flash_cache_.Holds(address)) {
    const std::uint32_t page_words = image_.PageWords();
    std::vector<std::uint16_t> words(page_words, 0xFFFF);
    flash_cache_.first = address & ~(page_words - 1);
    if (capabilities_.queued_reads) {
      QueryFlashWords(flash_cache_.first, words);
    } else if (!link_.ReadFlash(flash_cache_.first, words)) {
      silent_ = true;
    }
    flash_cache_.values = std::move(words);
  }
  return flash_cache_.values[address - flash_cache_.first];
}

void IspInstructions::QueryFlashWords(std::uint32_t first, std::span<std::uint16_t> words) {
  std::vector<IspQuery> queries;
  for (std::uint32_t address = first; address < first + words.size(); ++address) {
    queries.push_back({0x28, High(address), Low(address)});
    queries.push_back({0x20, High(address), Low(address)});
  }
  const std::vector<std::uint8_t> bytes = QueryInstructions(queries);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
}

std::uint16_t IspInstructions::ReadFlashWord(std::uint32_t address) {
  if (capabilities_.flash_pages || capabilities_.queued_reads) return ReadCachedFlashWord(address);
  std::uint8_t high = QueryInstruction(0x28, High(address), Low(address));
  std::uint8_t low = QueryInstruction(0x20, High(address), Low(address));
  return static_cast<std::uint16_t>(high * 256 + low);
}

bool IspInstructions::CompareFlash(std::uint32_t first, std::uint32_t last) {
  for (std::uint32_t word = first; word <= last; ++word) {
    if (!image_.flashDefined.test(word)) continue;
    if (ReadFlashWord(word) != image_.flashWords[word] || silent_) return false;
  }
  return true;
}

void IspInstructions::WriteEepromOnce(std::uint32_t address, std::uint8_t value) {
  if (!capabilities_.eeprom_pages) {
    SendInstruction(0xC0, High(address), Low(address), value);
    return;
  }
  // The programmer waits out the write itself. The EEPROM bytes read before stay known: the
  // one written is set once it reads back (WriteEepromByte), so the reads before the next
  // writes need no new block.
  flash_cache_.values.clear();
  if (!link_.WriteEeprom(address, std::span<const std::uint8_t>(&value, 1))) silent_ = true;
}

std::int64_t IspInstructions::ShortestQueryNs() const {
  if (capabilities_.engine_clocks_sck) return BitBangLink::kPhasesPerQuery * IspDelayNs(isp_speed_);
  constexpr int kBitsPerQuery = 4 * 8;  // a cable at its own pace: one SCK period a bit
  return capabilities_.sck_khz > 0 ? static_cast<std::int64_t>(kBitsPerQuery * 1e6 / capabilities_.sck_khz) : 0;
}

// Read back by instruction: one byte, whatever the programmer's page commands. While the
// chip writes the byte it reads 0xFF there (data polling), so a byte of any other value is
// read again and again until it reads back, and each read counts for the least time it can
// have taken; once the description's write time has surely passed, the read decides. 0xFF,
// and every byte where the time of a read is unknown, waits the whole write time first.
std::uint8_t IspInstructions::AwaitEepromByte(std::uint32_t address, std::uint8_t value) {
  const std::int64_t poll_ns = ShortestQueryNs();
  const std::int64_t write_ns = std::int64_t{image_.eepromWriteDelay} * 1'000'000;
  const bool pollable = value != 0xFF && poll_ns > 0 && !capabilities_.eeprom_pages;
  if (!pollable) {
    if (!capabilities_.eeprom_pages) link_.SleepMs(image_.eepromWriteDelay);
    return QueryInstruction(0xA0, High(address), Low(address));
  }
  for (std::int64_t waited_ns = 0;; waited_ns += poll_ns) {
    const std::uint8_t read = QueryInstruction(0xA0, High(address), Low(address));
    if (read == value || silent_ || waited_ns >= write_ns) return read;
  }
}

bool IspInstructions::WriteEepromByte(std::uint32_t address, std::uint8_t value) {
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    WriteEepromOnce(address, value);
    const std::uint8_t read = AwaitEepromByte(address, value);
    if (silent_) break;
    if (read == value) {
      if (eeprom_cache_.Holds(address)) eeprom_cache_.values[address - eeprom_cache_.first] = value;
      return true;
    }
  }
  Forget();
  if (silent_) {
    ReportSilence(AddressText(Memory::Eeprom, address));
  } else {
    ReportWriteExhausted(AddressText(Memory::Eeprom, address) + Ktext(u8" 에"));
  }
  return false;
}

std::uint8_t IspInstructions::ReadCachedEepromByte(std::uint32_t address) {
  if (!eeprom_cache_.Holds(address)) {
    const std::uint32_t first = address - address % kEepromReadBlock;
    const std::uint32_t size = std::min(kEepromReadBlock, image_.eepromSize - first);
    std::vector<std::uint8_t> bytes(size, 0xFF);
    if (capabilities_.queued_reads) {
      std::vector<IspQuery> queries;
      for (std::uint32_t address = first; address < first + size; ++address) queries.push_back({0xA0, High(address), Low(address)});
      bytes = QueryInstructions(queries);
    } else if (!link_.ReadEeprom(first, bytes)) {
      silent_ = true;
    }
    eeprom_cache_.first = first;
    eeprom_cache_.values.assign(bytes.begin(), bytes.end());
  }
  return static_cast<std::uint8_t>(eeprom_cache_.values[address - eeprom_cache_.first]);
}

std::uint8_t IspInstructions::ReadEepromByte(std::uint32_t address) {
  if ((capabilities_.eeprom_pages || capabilities_.queued_reads) && address < image_.eepromSize) {
    return ReadCachedEepromByte(address);
  }
  return QueryInstruction(0xA0, High(address), Low(address));
}

void IspInstructions::ReportWriteExhausted(const std::string& where) {
  seam_.ShowNotice(kNoticeFailure, where + " " + std::to_string(kWriteAttempts) +
                                       Ktext(u8"번 기록했지만 읽은 값이 기록한 값과 일치하지 않습니다."));
}

}  // namespace tolmeo
