#include "files/png_image.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct PngFileTest : ::testing::Test {
  fs::path dir =
      fs::temp_directory_path() /
      ("tetrad_png_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string path(const char* name) const { return (dir / name).string(); }

  // Decodes and returns what the reader printed.
  std::string read(const std::string& file, Image** out) {
    ::testing::internal::CaptureStdout();
    *out = read_png_file(file.c_str());
    return ::testing::internal::GetCapturedStdout();
  }
};

// Writes a one-row PNG of any colour type and depth through libpng itself,
// so the reader meets files our own writer would never make.
void write_raw_png(const std::string& path, int width, int colour_type, int depth) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, width, 1, depth, colour_type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[256] = {};
  if (colour_type == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 256);
  png_write_info(png, info);
  std::vector<png_byte> row(png_get_rowbytes(png, info), 7);
  png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

// A written image reads back pixel for pixel, its rows packed with no
// padding also when the width is not a multiple of four. Every file but an
// 8-bit RGB PNG is refused with a message naming the step that failed, and
// no image; a write that fails says so.
TEST_F(PngFileTest, WrittenImagesReadBackAndAnythingButEightBitRgbIsRefused) {
  std::vector<uint8_t> rgb(63 * 21 * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 37 + i / 3);
  ASSERT_EQ(write_png_rgb(path("whole.png").c_str(), rgb.data(), 63, 21), 1);
  Image* back = nullptr;
  EXPECT_EQ(read(path("whole.png"), &back), "");
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(back->bytes_per_pixel == 3 && back->width == 63 && back->height == 21);
  EXPECT_EQ(back->pixels, rgb);
  image_free(back);
  std::vector<char> whole(fs::file_size(path("whole.png")));
  std::ifstream(path("whole.png"), std::ios::binary).read(whole.data(), whole.size());
  std::ofstream(path("cut.png"), std::ios::binary).write(whole.data(), whole.size() / 2);
  std::ofstream(path("header.png"), std::ios::binary).write(whole.data(), 20);
  std::ofstream(path("text.png")) << "this is not an image at all";
  std::ofstream(path("short.png")) << "\x89PN";
  const std::tuple<const char*, int, int, int, const char*> cases[] = {
      // file; for one written through libpng its width, colour type and
      // depth; the message, %s standing for the file's path
      {"text.png", 0, 0, 0, "File %s is not recognized as a PNG file"},
      {"short.png", 0, 0, 0, "File %s is not recognized as a PNG file"},
      {"missing.png", 0, 0, 0, "File %s could not be opened for reading"},
      {"cut.png", 0, 0, 0, "Error during read_image"},
      {"header.png", 0, 0, 0, "Error during init_io"},
      {"huge.png", 5000, PNG_COLOR_TYPE_RGB, 8, "Error during init_io"},
      {"rgba.png", 4, PNG_COLOR_TYPE_RGBA, 8, "Error during init_io"},
      {"palette.png", 4, PNG_COLOR_TYPE_PALETTE, 8, "Error during init_io"},
      {"grey.png", 4, PNG_COLOR_TYPE_GRAY, 8, "Error during init_io"},
      {"rgb16.png", 4, PNG_COLOR_TYPE_RGB, 16, "Error during init_io"}};
  for (const auto& [name, width, colour_type, depth, message] : cases) {
    if (width > 0) write_raw_png(path(name), width, colour_type, depth);
    std::string wanted = message;
    if (const size_t at = wanted.find("%s"); at != std::string::npos)
      wanted.replace(at, 2, path(name));
    Image* image = nullptr;
    EXPECT_EQ(read(path(name), &image), "[read_png_file] " + wanted) << name;
    EXPECT_EQ(image, nullptr) << name;
  }
  // The writer reports failure instead of success.
  EXPECT_EQ(write_png_rgb(path("no/such/dir/a.png").c_str(), rgb.data(), 4, 4), 0);
  EXPECT_EQ(write_png_rgb(path("zero.png").c_str(), rgb.data(), 0, 4), 0);
  EXPECT_EQ(write_png_rgb(path("null.png").c_str(), nullptr, 4, 4), 0);
  EXPECT_FALSE(fs::exists(path("zero.png")));
}

}  // namespace
