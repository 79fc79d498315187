// Runs a fuzz target once over every file of a corpus folder, so the corpus stays a regression
// test in builds without libFuzzer. A missing or empty folder fails: a corpus that went astray
// would otherwise pass while testing nothing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", argv[0]);
    return 1;
  }
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path root(argv[i]);
    std::error_code error;
    if (!std::filesystem::is_directory(root, error)) {
      std::fprintf(stderr, "no corpus folder %s\n", argv[i]);
      return 1;
    }
    int in_folder = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++in_folder;
    }
    if (in_folder == 0) {
      std::fprintf(stderr, "corpus folder %s holds no inputs\n", argv[i]);
      return 1;
    }
    replayed += in_folder;
  }
  std::printf("replayed %d inputs\n", replayed);
  return 0;
}
