// The bundled GUI images: each decodes, has the size its screen place
// needs, and follows the conventions the drawing code relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "render/editor_state.h"
#include "render/image.h"
#include "render/main_screen.h"
#include "render/png_image.h"

namespace {

struct ImageHolder {
  Image* image;
  explicit ImageHolder(const char* name) {
    const std::string path = std::string(TETRAD_SOURCE_DIR) + "/data/" + name;
    ::testing::internal::CaptureStdout();
    image = read_png_file(path.c_str());
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "") << name;
  }
  ~ImageHolder() { image_free(image); }
  const uint8_t* pixel(int x, int y) const {
    return image->pixels.data() + (static_cast<size_t>(y) * image->width + x) * 3;
  }
  uint32_t colour(int x, int y) const {
    const uint8_t* p = pixel(x, y);
    return (p[0] << 16) | (p[1] << 8) | p[2];
  }
};

struct Expected {
  const char* name;
  int width, height;
};

// Where each image is placed decides its size: the main screen and the
// panels fill their part of the screen, the marks cover their buttons.
const Expected kImages[] = {
    {"hvmain.png", 320, 255},   {"hvfont.png", 8, 576},     {"hvcurs.png", 12, 15},
    {"hvpnt.png", 16, 16},      {"hvdisk.png", 320, 100},   {"hvsure.png", 112, 36},
    {"hvtextcurs.png", 8, 3},   {"hvclear.png", 112, 36},   {"hvdiskoparrow.png", 10, 10},
    {"chan1off.png", 14, 11},   {"chan2off.png", 14, 11},   {"chan3off.png", 14, 11},
    {"chan4off.png", 14, 11},   {"hvdisk2.png", 320, 100},  {"hvhelp.png", 320, 100},
    {"hvposed.png", 160, 100},  {"hvsample.png", 320, 134}, {"hvloopleft.png", 4, 64},
    {"hvloopright.png", 4, 64},
};

TEST(GuiImages, EveryImageDecodesWithTheSizeOfItsPlace) {
  for (const Expected& expected : kImages) {
    ImageHolder held(expected.name);
    ASSERT_NE(held.image, nullptr) << expected.name;
    EXPECT_EQ(held.image->width, expected.width) << expected.name;
    EXPECT_EQ(held.image->height, expected.height) << expected.name;
    EXPECT_EQ(held.image->pixels.size(), static_cast<size_t>(expected.width) * expected.height * 3);
  }
  // The sample panel reaches exactly to the bottom of the screen from y 121.
  EXPECT_EQ(121 + 134, kScreenHeight);
}

TEST(GuiImages, FontHasADistinctGlyphForEveryPrintableCharacter) {
  ImageHolder font("hvfont.png");
  std::set<std::vector<bool>> shapes;
  for (int cell = 0; cell < 72; ++cell) {
    std::vector<bool> ink;
    int inked = 0;
    for (int r = 0; r < 8; ++r)
      for (int i = 0; i < 8; ++i) {
        const bool on = font.pixel(i, cell * 8 + r)[0] != 0;
        ink.push_back(on);
        inked += on;
        // Lines of text are drawn 7 and 6 pixels apart and characters 8
        // apart: ink stays in rows 0..5 and leaves column 0 and 6..7 free.
        if (on) {
          EXPECT_LT(r, 6) << "cell " << cell;
          EXPECT_TRUE(i >= 1 && i <= 5) << "cell " << cell;
        }
      }
    if (cell == 0) {
      EXPECT_EQ(inked, 0) << "the space must be empty";
    } else {
      EXPECT_GT(inked, 0) << "cell " << cell << " (code " << 32 + cell << ") is empty";
      EXPECT_TRUE(shapes.insert(ink).second) << "cell " << cell << " repeats another glyph";
    }
  }
}

// A keyed copy skips the pixels whose key byte is 0; every keyed image
// needs both transparent and visible pixels, and its visible pixels must
// not have the key byte at 0 by accident.
void expect_keyed(const char* name, int key_byte) {
  ImageHolder held(name);
  ASSERT_NE(held.image, nullptr) << name;
  int transparent = 0, visible = 0;
  for (int y = 0; y < held.image->height; ++y)
    for (int x = 0; x < held.image->width; ++x) {
      const uint8_t* p = held.pixel(x, y);
      if (p[key_byte] == 0)
        ++transparent;
      else
        ++visible;
    }
  EXPECT_GT(transparent, 0) << name;
  EXPECT_GT(visible, 0) << name;
}

TEST(GuiImages, KeyedImagesHaveTransparentAndVisiblePixels) {
  expect_keyed("hvpnt.png", 0);
  expect_keyed("hvcurs.png", 0);
  expect_keyed("hvloopleft.png", 1);
  expect_keyed("hvloopright.png", 1);
  // The pattern cursor frames the character: its middle shows the text.
  ImageHolder cursor("hvcurs.png");
  EXPECT_EQ(cursor.pixel(6, 7)[0], 0);
  EXPECT_NE(cursor.pixel(0, 7)[0], 0);
  // The loop markers show a full-height line.
  ImageHolder left("hvloopleft.png"), right("hvloopright.png");
  for (int y = 0; y < 64; ++y) {
    EXPECT_NE(left.pixel(3, y)[1], 0) << y;
    EXPECT_NE(right.pixel(0, y)[1], 0) << y;
  }
}

}  // namespace
