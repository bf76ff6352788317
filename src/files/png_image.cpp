#include "files/png_image.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kSignatureBytes = 8;
// Far beyond any GUI image; keeps a forged header from asking for gigabytes.
constexpr png_uint_32 kMaxDimension = 4096;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

void report(const char* message, const char* path = nullptr) {
  if (path != nullptr)
    std::printf(message, path);
  else
    std::fputs(message, stdout);
  std::fflush(stdout);
}

// Owns the read structures; destroyed on every return path.
struct ReadStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadStructs() {
    if (png != nullptr) png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
  }
};

struct WriteStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteStructs() {
    if (png != nullptr) png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  }
};

// Reads the header and checks it is a format we decode without conversion.
// Library errors longjmp back to the caller's return point.
bool read_header(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height) {
  png_read_info(png, info);
  int bit_depth = 0;
  int colour_type = 0;
  int interlace = 0;
  png_get_IHDR(png, info, width, height, &bit_depth, &colour_type, &interlace, nullptr, nullptr);
  if (bit_depth != 8 || colour_type != PNG_COLOR_TYPE_RGB) return false;
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return png_get_rowbytes(png, info) == static_cast<size_t>(*width) * 3;
}

}  // namespace

Image* read_png_file(const char* path) {
  File file(std::fopen(path, "rb"));
  if (!file) {
    report("[read_png_file] File %s could not be opened for reading", path);
    return nullptr;
  }
  png_byte signature[kSignatureBytes] = {};
  if (std::fread(signature, 1, kSignatureBytes, file.get()) != kSignatureBytes ||
      png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
    report("[read_png_file] File %s is not recognized as a PNG file", path);
    return nullptr;
  }

  ReadStructs structs;
  structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (structs.png == nullptr) {
    report("[read_png_file] png_create_read_struct failed");
    return nullptr;
  }
  structs.info = png_create_info_struct(structs.png);
  if (structs.info == nullptr) {
    report("[read_png_file] png_create_info_struct failed");
    return nullptr;
  }
  png_set_user_limits(structs.png, kMaxDimension, kMaxDimension);

  // Everything the error return point may leave behind is declared before it.
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::vector<png_byte> pixels;
  std::vector<png_bytep> rows;

  if (setjmp(png_jmpbuf(structs.png))) {
    report("[read_png_file] Error during init_io");
    return nullptr;
  }
  png_init_io(structs.png, file.get());
  png_set_sig_bytes(structs.png, kSignatureBytes);
  if (!read_header(structs.png, structs.info, &width, &height)) {
    report("[read_png_file] Error during init_io");
    return nullptr;
  }
  pixels.resize(static_cast<size_t>(width) * 3 * height);
  rows.resize(height);
  for (png_uint_32 j = 0; j < height; ++j)
    rows[j] = pixels.data() + static_cast<size_t>(j) * width * 3;

  if (setjmp(png_jmpbuf(structs.png))) {
    report("[read_png_file] Error during read_image");
    return nullptr;
  }
  png_read_image(structs.png, rows.data());

  Image* image = new Image;
  image->bytes_per_pixel = 3;
  image->width = static_cast<int32_t>(width);
  image->height = static_cast<int32_t>(height);
  image->pixels = std::move(pixels);
  return image;
}

void image_free(Image* image) {
  delete image;
}

int32_t write_png_rgb(const char* path, const uint8_t* rgb, int32_t width, int32_t height) {
  if (rgb == nullptr || width <= 0 || height <= 0) return 0;
  File file(std::fopen(path, "wb"));
  if (!file) return 0;
  WriteStructs structs;
  structs.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (structs.png == nullptr) return 0;
  structs.info = png_create_info_struct(structs.png);
  if (structs.info == nullptr) return 0;
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int32_t j = 0; j < height; ++j)
    rows[j] = const_cast<png_bytep>(rgb + static_cast<size_t>(j) * width * 3);
  if (setjmp(png_jmpbuf(structs.png))) return 0;
  png_init_io(structs.png, file.get());
  png_set_IHDR(structs.png, structs.info, static_cast<png_uint_32>(width),
               static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(structs.png, structs.info, rows.data());
  png_write_png(structs.png, structs.info, PNG_TRANSFORM_IDENTITY, nullptr);
  return std::fflush(file.get()) == 0 ? 1 : 0;
}
