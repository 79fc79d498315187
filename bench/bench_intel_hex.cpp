// links: formats
// Reading Intel HEX documents: the programming commands re-read the document before every
// write and verify, so it must stay quick. The 1 MB file is also converted by
// `avr-objcopy -I ihex -O binary` in the same run, the yardstick for a reader of this format;
// both are timed on the wall clock, since avr-objcopy runs in a process of its own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "formats/intel_hex.h"

namespace {

constexpr std::size_t kSmallDataBytes = 64 * 1024;
constexpr std::size_t kLargeDataBytes = 1024 * 1024;
constexpr std::size_t kFlashAreaBytes = 2048000;  // the chip image's Flash taken as bytes

// One record: count, 16-bit offset, type, data, checksum.
void AppendRecord(std::string& text, unsigned type, unsigned offset, const std::vector<unsigned>& data) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  auto append_byte = [&text](unsigned byte) {
    text += kDigits[(byte >> 4) & 0xF];
    text += kDigits[byte & 0xF];
  };
  unsigned sum = static_cast<unsigned>(data.size()) + (offset >> 8) + (offset & 0xFF) + type;
  text += ':';
  append_byte(static_cast<unsigned>(data.size()));
  append_byte(offset >> 8);
  append_byte(offset & 0xFF);
  append_byte(type);
  for (unsigned byte : data) {
    sum += byte;
    append_byte(byte);
  }
  append_byte(-sum & 0xFF);
  text += "\r\n";
}

// data_bytes of data in records of 16, with an extended linear address at every 64 KB.
std::string HexText(std::size_t data_bytes) {
  std::string text;
  text.reserve(data_bytes * 45 / 16);
  for (std::size_t address = 0; address < data_bytes; address += 16) {
    if (address % 0x10000 == 0 && address > 0) {
      AppendRecord(text, 4, 0, {static_cast<unsigned>(address >> 24) & 0xFF,
                                static_cast<unsigned>(address >> 16) & 0xFF});
    }
    std::vector<unsigned> data(16);
    for (unsigned k = 0; k < 16; ++k) data[k] = (address + k * 7) & 0xFF;
    AppendRecord(text, 0, address & 0xFFFF, data);
  }
  return text + ":00000001FF\r\n";
}

// A HEX file in /tmp for the time of one benchmark.
class HexFile {
 public:
  explicit HexFile(std::size_t data_bytes) : text_(HexText(data_bytes)) {
    int fd = ::mkstemp(path_);
    if (fd >= 0) ::close(fd);
    written_ = fd >= 0 && tolmeo::WriteWholeFile(path_, text_).ok();
  }
  ~HexFile() { std::remove(path_); }
  bool written() const { return written_; }
  const char* path() const { return path_; }
  std::size_t size() const { return text_.size(); }

 private:
  char path_[32] = "/tmp/tolmeo-bench-XXXXXX";
  std::string text_;
  bool written_ = false;
};

void BM_ParseIntelHex(benchmark::State& state) {
  std::string text = HexText(kSmallDataBytes);
  std::vector<std::uint8_t> area(2 * kSmallDataBytes, 0xFF);
  for (auto _ : state) {
    auto range = tolmeo::ParseIntelHex(text, area);
    if (!range || range->high != kSmallDataBytes - 1) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(area.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseIntelHex)->Unit(benchmark::kMicrosecond);

void ReadFile(benchmark::State& state, std::size_t data_bytes) {
  HexFile file(data_bytes);
  if (!file.written()) return state.SkipWithError("cannot write the HEX file");
  std::vector<std::uint8_t> area(kFlashAreaBytes, 0xFF);
  for (auto _ : state) {
    auto range = tolmeo::ReadIntelHex(file.path(), area);
    if (!range || range->high != data_bytes - 1) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(area.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void BM_ReadIntelHexFile64K(benchmark::State& state) { ReadFile(state, kSmallDataBytes); }
BENCHMARK(BM_ReadIntelHexFile64K)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ReadIntelHexFile1M(benchmark::State& state) { ReadFile(state, kLargeDataBytes); }
BENCHMARK(BM_ReadIntelHexFile1M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AvrObjcopy1M(benchmark::State& state) {
  if (std::system("avr-objcopy --version >/dev/null 2>&1") != 0) {
    return state.SkipWithError("avr-objcopy is not installed (apt-get install binutils-avr)");
  }
  HexFile file(kLargeDataBytes);
  if (!file.written()) return state.SkipWithError("cannot write the HEX file");
  std::string binary = std::string(file.path()) + ".bin";
  std::string command = "avr-objcopy -I ihex -O binary " + std::string(file.path()) + " " + binary;
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("avr-objcopy failed");
  }
  std::remove(binary.c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_AvrObjcopy1M)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
