// Draws the program's icon: a dark tile with four level bars, one for each
// channel, under the pattern cursor's red line. Writes the same shapes as
// PNG files of the sizes asked for and as an SVG.
//   icongen OUTDIR SIZE...   OUTDIR/tetrad-SIZE.png for each size, OUTDIR/tetrad.svg
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A rounded rectangle in a unit square (0..1 on both axes, y downwards).
struct Shape {
  double x0, y0, x1, y1, radius;
  uint32_t colour;  // 0xRRGGBB, drawn opaque over what lies below
};

constexpr Shape kShapes[] = {
    {0.06, 0.06, 0.94, 0.94, 0.16, 0x262A33},  // the tile
    {0.12, 0.12, 0.88, 0.88, 0.10, 0x343A46},  // its inset face
    {0.20, 0.42, 0.32, 0.80, 0.03, 0xE8B04A},  // channel 1
    {0.36, 0.26, 0.48, 0.80, 0.03, 0xD8D2C5},  // channel 2
    {0.52, 0.50, 0.64, 0.80, 0.03, 0xE8B04A},  // channel 3
    {0.68, 0.34, 0.80, 0.80, 0.03, 0xD8D2C5},  // channel 4
    {0.16, 0.57, 0.84, 0.61, 0.01, 0xD0403A},  // the cursor line
};

bool inside(const Shape& s, double x, double y) {
  if (x < s.x0 || x > s.x1 || y < s.y0 || y > s.y1) return false;
  // Inside unless in a corner square and outside its quarter circle.
  const double cx = x < s.x0 + s.radius   ? s.x0 + s.radius
                    : x > s.x1 - s.radius ? s.x1 - s.radius
                                          : x;
  const double cy = y < s.y0 + s.radius   ? s.y0 + s.radius
                    : y > s.y1 - s.radius ? s.y1 - s.radius
                                          : y;
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= s.radius * s.radius;
}

// Each pixel is the average of 4 x 4 points, so edges are smooth at any size.
std::vector<uint8_t> draw(int size) {
  constexpr int kSub = 4;
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4, 0);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          const double x = (px + (sx + 0.5) / kSub) / size;
          const double y = (py + (sy + 0.5) / kSub) / size;
          const Shape* top = nullptr;
          for (const Shape& shape : kShapes)
            if (inside(shape, x, y)) top = &shape;
          if (!top) continue;
          r += (top->colour >> 16) & 0xFF;
          g += (top->colour >> 8) & 0xFF;
          b += top->colour & 0xFF;
          a += 255;
        }
      }
      uint8_t* out = &rgba[(static_cast<size_t>(py) * size + px) * 4];
      const double covered = a / 255;  // points inside some shape
      if (covered == 0) continue;
      // Colour averaged over the covered points: the edge fades by alpha only.
      out[0] = static_cast<uint8_t>(r / covered + 0.5);
      out[1] = static_cast<uint8_t>(g / covered + 0.5);
      out[2] = static_cast<uint8_t>(b / covered + 0.5);
      out[3] = static_cast<uint8_t>(a / (kSub * kSub) + 0.5);
    }
  }
  return rgba;
}

bool write_png(const std::string& path, int size) {
  const std::vector<uint8_t> rgba = draw(size);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

bool write_svg(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (!file) return false;
  constexpr double kUnits = 256;
  std::fprintf(file,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
               "viewBox=\"0 0 256 256\">\n");
  for (const Shape& s : kShapes)
    std::fprintf(file,
                 "  <rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" rx=\"%.2f\" "
                 "fill=\"#%06X\"/>\n",
                 s.x0 * kUnits, s.y0 * kUnits, (s.x1 - s.x0) * kUnits, (s.y1 - s.y0) * kUnits,
                 s.radius * kUnits, s.colour);
  std::fprintf(file, "</svg>\n");
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: icongen OUTDIR SIZE...\n");
    return 2;
  }
  const std::string dir = argv[1];
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 16 || size > 1024) {
      std::fprintf(stderr, "icongen: size %s is not 16..1024\n", argv[i]);
      return 2;
    }
    const std::string path = dir + "/tetrad-" + argv[i] + ".png";
    if (!write_png(path, size)) {
      std::fprintf(stderr, "icongen: %s: cannot write\n", path.c_str());
      return 1;
    }
  }
  if (!write_svg(dir + "/tetrad.svg")) {
    std::fprintf(stderr, "icongen: %s/tetrad.svg: cannot write\n", dir.c_str());
    return 1;
  }
  return 0;
}
