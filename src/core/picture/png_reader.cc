// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG reader over libpng. libpng reports errors by longjmp, so the part
// that runs under setjmp holds no C++ objects of its own: everything it fills
// lives in the caller's frame and is reached through pointers.
#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

#include "picture/picture_reader.h"
#include "picture/picture_rows.h"

namespace zielwerk {

namespace {

// deflate cannot expand one byte of input into more than 1032 bytes; a file
// whose header asks for more raw data than that is refused before allocating.
constexpr uint64_t kMaxDeflateRatio = 1032;

struct PngSource {
  std::string_view bytes;
  size_t position = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->bytes.size() - source->position) png_error(png, "file cut short");
  std::memcpy(out, source->bytes.data() + source->position, length);
  source->position += length;
}

void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnorePngWarning(png_structp, png_const_charp) {}

// Owns the libpng read and info structures.
class PngReadSession {
 public:
  PngReadSession() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, IgnorePngWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
  }
  ~PngReadSession() { png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr); }
  PngReadSession(const PngReadSession&) = delete;
  PngReadSession& operator=(const PngReadSession&) = delete;

  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Runs the decode under setjmp; `picture` belongs to the caller. Its rows
// are made as the first pass reaches them, so data that ends early costs
// only the rows read before libpng refuses it.
bool RunPngDecode(png_structp png, png_infop info, PngSource* source, TrainPicture* picture) {
  if (setjmp(png_jmpbuf(png))) return false;

  png_set_read_fn(png, source, ReadFromMemory);
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  // libpng allocates these chunks (text, colour profile, metadata; none of
  // them changes a pixel here) at the length their header claims before
  // reading them, so a file of a few bytes could ask for 2 GiB. Skipped, they
  // are read past in small steps.
  static constexpr png_byte kIgnoredChunks[] =
      "iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0tEXt\0zTXt\0iTXt";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                              sizeof kIgnoredChunks / 5);
  png_read_info(png, info);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bit_depth = 0;
  int colour_type = 0;
  int interlace = 0;
  png_get_IHDR(png, info, &width, &height, &bit_depth, &colour_type, &interlace, nullptr, nullptr);
  if (!PictureSizeAllowed(width, height)) return false;
  const uint64_t raw_bytes =
      uint64_t{height} * (1 + (uint64_t{width} * png_get_channels(png, info) * bit_depth + 7) / 8);
  if (raw_bytes > kMaxDeflateRatio * source->bytes.size()) return false;

  const bool has_transparent_colour = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  picture->has_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) != 0 || has_transparent_colour;

  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  if (!picture->has_alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;

  picture->width = static_cast<int>(width);
  picture->height = static_cast<int>(height);
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      if (pass == 0) GrowPictureRows(*picture, static_cast<int>(y) + 1);
      png_read_row(png, picture->rgba.data() + size_t{y} * width * 4, nullptr);
    }
  }
  return true;
}

std::optional<TrainPicture> DecodePngUnguarded(std::string_view bytes) {
  if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0) {
    return std::nullopt;
  }
  PngReadSession session;
  if (session.png() == nullptr || session.info() == nullptr) return std::nullopt;
  PngSource source{bytes, 0};
  TrainPicture picture;
  if (!RunPngDecode(session.png(), session.info(), &source, &picture)) return std::nullopt;
  return picture;
}

}  // namespace

std::optional<TrainPicture> DecodePng(std::string_view bytes) {
  try {
    return DecodePngUnguarded(bytes);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace zielwerk
