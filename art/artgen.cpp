// artgen.cpp — writes every picture and sound of the run-time tree.
//
//   artgen FILES_DIR            FILES_DIR/Common/* and FILES_DIR/239/*
//   artgen --preview OUT.png    a contact sheet of every frame on both skies
//   artgen --icons DIR [SIZE..] the program's icon as DIR/wenhod-<size>.png, each desktop size
//                               or the sizes given (a web app's 192 and 512)
//   artgen --icon OUT.ico       the same sizes in one icon file, for Windows
//
// Output depends on nothing but this code, so two runs give identical bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "art/art.h"
#include "art/sfx.h"

namespace {

int failures = 0;
// The sizes desktops look for in the hicolor icon theme.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

void Png(const Canvas& c, const std::string& path) {
  if (!WritePng(c, path)) {
    std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    ++failures;
  }
}

void Wav(const std::vector<int16_t>& s, const std::string& path) {
  if (!WriteWav(path, s)) {
    std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    ++failures;
  }
}

void WriteAll(const std::string& files) {
  std::string common = files + "/Common/", game = files + "/239/";
  std::error_code ec;
  std::filesystem::create_directories(common, ec);
  std::filesystem::create_directories(game, ec);

  Png(IconsSheet(), common + "icons.png");
  Png(StudioLogo(), common + "logo.png");
  Png(EngineLogo(), common + "Brindle.png");
  Wav(BadgeJingle(), common + "badgeget.wav");

  Png(TitlePicture(), game + "inavarnocostume.png");
  Png(HeroSheet(false, false), game + "wenhod.png");
  Png(HeroSheet(true, false), game + "wenhodVarno.png");
  Png(HeroSheet(false, true), game + "wenhod2.png");
  Png(HeroSheet(true, true), game + "wenhodVarno2.png");
  Png(BirdSheet(false, false), game + "Gullwick.png");
  Png(BirdSheet(true, false), game + "GullwickVarno.png");
  Png(BirdSheet(false, true), game + "Gullwick2.png");
  Png(BirdSheet(true, true), game + "GullwickVarno2.png");
  Png(ScenerySheet(), game + "scenery.png");
  Png(GetsSheet(), game + "gets.png");
  Png(BadgesSheet(), game + "badges.png");
  for (int k = 1; k <= 15; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.wav", k);
    Wav(SoundEffect(k), game + name);
  }
}

// A Windows icon file holding one PNG per size (as Windows Vista and later
// read them): a 6-byte header, a 16-byte entry per image, then the images.
void IconFile(const std::string& path) {
  std::vector<std::vector<uint8_t>> images;
  const std::string part = path + ".part.png";
  for (int size : kIconSizes) {
    Png(AppIcon(size), part);
    std::ifstream in(part, std::ios::binary);
    images.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::error_code ec;
  std::filesystem::remove(part, ec);
  std::vector<uint8_t> out;
  auto put16 = [&](uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xffff);
    put16(v >> 16);
  };
  const size_t count = images.size();
  put16(0);
  put16(1);  // an icon, not a cursor
  put16(uint16_t(count));
  uint32_t offset = uint32_t(6 + 16 * count);
  for (size_t k = 0; k < count; ++k) {
    const uint8_t side = kIconSizes[k] >= 256 ? 0 : uint8_t(kIconSizes[k]);  // 0 stands for 256
    out.insert(out.end(), {side, side, 0, 0});
    put16(1);   // colour planes
    put16(32);  // bits per pixel
    put32(uint32_t(images[k].size()));
    put32(offset);
    offset += uint32_t(images[k].size());
  }
  for (auto& image : images) out.insert(out.end(), image.begin(), image.end());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  if (!file.flush() || images.back().empty()) {
    std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    ++failures;
  }
}

// Every frame laid out on a strip of the sunset sky and one of the blue sky.
Canvas Preview() {
  struct Sheet {
    Canvas img;
    int cell;
  };
  const Sheet sheets[] = {
      {HeroSheet(false, false), 64},
      {HeroSheet(true, false), 64},
      {HeroSheet(false, true), 64},
      {HeroSheet(true, true), 64},
      {BirdSheet(false, false), 128},
      {BirdSheet(true, false), 128},
      {BirdSheet(false, true), 128},
      {BirdSheet(true, true), 128},
      {ScenerySheet(), 128},
      {GetsSheet(), 64},
      {BadgesSheet(), 64},
      {IconsSheet(), 16},
  };
  const int width = 16 * 130;
  int height = 0;
  auto drawn = [](int cell) { return cell == 16 ? 32 : cell; };  // icons are shown at x2
  for (auto& s : sheets) height += 2 * (drawn(s.cell) + 4);
  height += 340;
  Canvas out(width, height);
  int y = 0;
  for (auto& s : sheets) {
    for (int sky = 0; sky < 2; ++sky) {
      Rgba bg = sky == 0 ? Hex(0x8a4008) : Hex(0x2f8ad8);
      FillRect(out, 0, y, width, drawn(s.cell) + 4, bg);
      int frames = (s.img.w / s.cell) * (s.img.h / s.cell);
      int step = s.cell == 16 ? 32 : s.cell + 2;
      for (int f = 0; f < frames && (f + 1) * step <= width; ++f) {
        Canvas c = Cell(s.img, f, s.cell, s.cell);
        Blit(out, s.cell == 16 ? Scale(c, 2) : c, f * step, y + 2);
      }
      y += drawn(s.cell) + 4;
    }
  }
  FillRect(out, 0, y, width, 340, Hex(0x182050));
  Blit(out, TitlePicture(), 10, y + 10);
  Blit(out, StudioLogo(), 360, y + 10);
  Blit(out, EngineLogo(), 360, y + 150);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--preview") == 0) {
    Png(Preview(), argv[2]);
  } else if (argc >= 3 && std::strcmp(argv[1], "--icons") == 0) {
    std::error_code ec;
    std::filesystem::create_directories(argv[2], ec);
    std::vector<int> sizes(std::begin(kIconSizes), std::end(kIconSizes));
    if (argc > 3) sizes.clear();
    for (int k = 3; k < argc; ++k) {
      const int size = std::atoi(argv[k]);
      if (size < 16 || size > 1024) {
        std::fprintf(stderr, "artgen: icon size %s is not 16 to 1024\n", argv[k]);
        return 2;
      }
      sizes.push_back(size);
    }
    for (int size : sizes) Png(AppIcon(size), std::string(argv[2]) + "/wenhod-" + std::to_string(size) + ".png");
  } else if (argc == 3 && std::strcmp(argv[1], "--icon") == 0) {
    IconFile(argv[2]);
  } else if (argc == 2) {
    WriteAll(argv[1]);
  } else {
    std::fprintf(
        stderr,
        "usage: artgen FILES_DIR | artgen --preview OUT.png | artgen --icons DIR [SIZE..] | artgen --icon OUT.ico\n");
    return 2;
  }
  return failures == 0 ? 0 : 1;
}
