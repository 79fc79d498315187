#include "gfx/font_store.h"

#include <cstring>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"

namespace tolmeo {

const std::array<const char*, kSystemFontCount> kSystemFontNames = {
    "12.12.kor.d.f.kft",    "12.12.sym.d.f.kft",    "12.12.han.d.f.kft",    "8.12.eng.d.f.kft",
    "12.12.kor(b).d.f.kft", "12.12.sym(b).d.f.kft", "12.12.han(b).d.f.kft", "8.12.eng(b).d.f.kft"};

namespace {

struct FoundGlyph {
  int slot;
  std::uint32_t index;
};

std::optional<FoundGlyph> FindGlyph(RegularFonts fonts, std::uint16_t code) {
  for (int slot = 0; slot < kRegularFontCount; ++slot) {
    if (fonts[slot] == nullptr) continue;
    if (auto index = fonts[slot]->Find(code)) return FoundGlyph{slot, *index};
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> FindFont(RegularFonts fonts, std::uint16_t code) {
  auto found = FindGlyph(fonts, code);
  if (!found) return std::nullopt;
  return found->slot;
}

std::optional<GlyphPlace> LocateGlyph(RegularFonts fonts, std::uint16_t code) {
  auto found = FindGlyph(fonts, code);
  if (!found) return std::nullopt;
  const BitmapFont& font = *fonts[found->slot];
  BitAddress address =
      font.IsList() ? font.EntryBitAddress(found->index) : font.RangeBitAddress(found->index);
  return GlyphPlace{found->slot, found->index, address / 8, 7 - static_cast<int>(address % 8)};
}

namespace {

struct FontFile {
  std::string path;
  std::string bytes;
  bool required;
};

}  // namespace

Status FontStore::Load(const std::string& font_folder) {
  Free();
  std::vector<FontFile> files;
  for (const char* name : kSystemFontNames) {
    std::string path = font_folder + "system/" + name;
    auto bytes = ReadWholeFile(path);
    if (!bytes) return Failure{Ktext(u8"글꼴 파일을 읽을 수 없습니다: ") + path};
    files.push_back({path, std::move(*bytes), true});
  }
  for (const std::string& name : ListFolder(font_folder, "kft")) {
    auto bytes = ReadWholeFile(font_folder + name);
    if (bytes) files.push_back({font_folder + name, std::move(*bytes), false});
  }

  std::size_t total = 0;
  for (const FontFile& file : files) total += file.bytes.size();
  block_ = std::make_unique<std::uint8_t[]>(total);
  blockSize_ = total;
  std::size_t at = 0;
  for (const FontFile& file : files) {
    std::memcpy(block_.get() + at, file.bytes.data(), file.bytes.size());
    auto font = BitmapFont::Parse({block_.get() + at, file.bytes.size()}, file.path);
    at += file.bytes.size();
    if (font) {
      fonts_.push_back(*font);
    } else if (file.required) {
      Free();
      return Failure{font.reason()};
    }
  }
  return Success();
}

void FontStore::Free() {
  fonts_.clear();
  block_.reset();
  blockSize_ = 0;
}

FontStore& TheFontStore() {
  static FontStore store;
  return store;
}

Status LoadFonts() { return LoadFonts(DataFolder() + "font/"); }

Status LoadFonts(const std::string& font_folder) { return TheFontStore().Load(font_folder); }

void FreeFonts() { TheFontStore().Free(); }

void InitTextStyle(TextStyle& style) {
  for (int slot = 0; slot < kSystemFontCount; ++slot) style.fonts[slot] = TheFontStore().font(slot);
}

}  // namespace tolmeo
