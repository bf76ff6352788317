// The bundled font: text drawing relies on its layout of glyphs.
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

}  // namespace
