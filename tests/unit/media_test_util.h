// Helpers shared by the media layer's tests: a scratch folder and small files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/media.h"

namespace mediatest {

// A fresh folder per test, removed afterwards.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path = std::filesystem::temp_directory_path() /
           (std::string("wenhod_media_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

inline std::string SlurpFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void SpitFile(const std::string& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

inline uint32_t Rgba(int r, int g, int b, int a = 255) {
  return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16 |
         static_cast<uint32_t>(a) << 24;
}

// Writes a w x h PNG whose pixel (x, y) is f(x, y); answers the file name.
template <typename F>
std::string WritePng(const TempDir& dir, const std::string& name, int w, int h, F f) {
  Pixmap pm;
  pm.width = w;
  pm.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pm.pixels.push_back(f(x, y));
  std::string file = dir / name;
  EXPECT_EQ(SavePixmapPNG(pm, file, 6), 1);
  return file;
}

}  // namespace mediatest
