// links: formats
// Reading an Intel HEX document of 64 KB of data (4,096 records of 16 bytes): the programming
// commands re-read the document before every write and verify, so it must stay quick.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "formats/intel_hex.h"

namespace {

constexpr std::size_t kDataBytes = 64 * 1024;

std::string HexText() {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  auto append_byte = [&text](unsigned byte) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  };
  for (std::size_t address = 0; address < kDataBytes; address += 16) {
    unsigned sum = 16 + (address >> 8) + (address & 0xFF);
    text += ":10";
    append_byte(static_cast<unsigned>(address >> 8) & 0xFF);
    append_byte(static_cast<unsigned>(address) & 0xFF);
    text += "00";
    for (unsigned k = 0; k < 16; ++k) {
      unsigned byte = (address + k * 7) & 0xFF;
      sum += byte;
      append_byte(byte);
    }
    append_byte(-sum & 0xFF);
    text += "\r\n";
  }
  return text + ":00000001FF\r\n";
}

void BM_ParseIntelHex(benchmark::State& state) {
  std::string text = HexText();
  std::vector<std::uint8_t> area(2 * kDataBytes, 0xFF);
  for (auto _ : state) {
    auto range = tolmeo::ParseIntelHex(text, area);
    if (!range || range->high != kDataBytes - 1) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(area.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseIntelHex)->Unit(benchmark::kMicrosecond);

void BM_ReadIntelHexFile(benchmark::State& state) {
  char path[] = "/tmp/tolmeo-bench-XXXXXX";
  int fd = ::mkstemp(path);
  if (fd < 0) return state.SkipWithError("no temporary file");
  ::close(fd);
  std::string text = HexText();
  if (!tolmeo::WriteWholeFile(path, text)) state.SkipWithError("cannot write");
  std::vector<std::uint8_t> area(2 * kDataBytes, 0xFF);
  for (auto _ : state) {
    auto range = tolmeo::ReadIntelHex(path, area);
    if (!range) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(area.data());
  }
  std::remove(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadIntelHexFile)->Unit(benchmark::kMicrosecond);

}  // namespace
