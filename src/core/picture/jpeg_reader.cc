// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG reader over libjpeg. libjpeg's own error handler ends the process
// and its warnings go to stderr; this reader returns to itself by longjmp and
// keeps quiet. The part under setjmp holds no C++ objects of its own.
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <new>

#include <jpeglib.h>

#include "picture/picture_reader.h"

namespace zielwerk {

namespace {

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

// Owns the decompression state and its error manager.
class JpegReadSession {
 public:
  JpegReadSession() {
    info_.err = jpeg_std_error(&errors_.base);
    errors_.base.error_exit = OnJpegError;
    errors_.base.output_message = IgnoreJpegMessage;
  }
  ~JpegReadSession() {
    if (created_) jpeg_destroy_decompress(&info_);
  }
  JpegReadSession(const JpegReadSession&) = delete;
  JpegReadSession& operator=(const JpegReadSession&) = delete;

  jpeg_decompress_struct* info() { return &info_; }
  JpegErrorManager* errors() { return &errors_; }
  void MarkCreated() { created_ = true; }

 private:
  jpeg_decompress_struct info_{};
  JpegErrorManager errors_{};
  bool created_ = false;
};

// Adobe writes CMYK inverted, which is what nearly every CMYK JPEG holds.
void CmykRowToRgba(uint8_t* row, int width, bool inverted) {
  for (int x = 0; x < width; ++x, row += 4) {
    unsigned c = row[0], m = row[1], y = row[2], k = row[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    row[0] = static_cast<uint8_t>((c * k + 127) / 255);
    row[1] = static_cast<uint8_t>((m * k + 127) / 255);
    row[2] = static_cast<uint8_t>((y * k + 127) / 255);
    row[3] = 255;
  }
}

// Widens a row of RGB, written into the first three quarters of its RGBA
// row, in place; from the end so that nothing is overwritten before it is read.
void RgbRowToRgba(uint8_t* row, int width) {
  for (int x = width - 1; x >= 0; --x) {
    row[4 * x + 3] = 255;
    row[4 * x + 2] = row[3 * x + 2];
    row[4 * x + 1] = row[3 * x + 1];
    row[4 * x + 0] = row[3 * x + 0];
  }
}

// Runs the decode under setjmp; everything it fills belongs to the caller.
bool RunJpegDecode(std::string_view bytes, JpegReadSession* session, TrainPicture* picture) {
  jpeg_decompress_struct* info = session->info();
  if (setjmp(session->errors()->jump)) return false;

  jpeg_create_decompress(info);
  session->MarkCreated();
  jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
  if (!PictureSizeAllowed(info->image_width, info->image_height)) return false;

  const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(info);
  const int width = static_cast<int>(info->output_width);
  const int height = static_cast<int>(info->output_height);
  if (!PictureSizeAllowed(width, height) || info->output_components != (cmyk ? 4 : 3)) return false;

  picture->width = width;
  picture->height = height;
  picture->has_alpha = false;
  picture->rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  while (info->output_scanline < info->output_height) {
    uint8_t* row = picture->rgba.data() + static_cast<size_t>(info->output_scanline) * width * 4;
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(info, rows, 1) != 1) return false;
    if (cmyk) {
      CmykRowToRgba(row, width, info->saw_Adobe_marker);
    } else {
      RgbRowToRgba(row, width);
    }
  }
  jpeg_finish_decompress(info);
  return true;
}

std::optional<TrainPicture> DecodeJpegUnguarded(std::string_view bytes) {
  if (bytes.size() < 3 || static_cast<uint8_t>(bytes[0]) != 0xFF ||
      static_cast<uint8_t>(bytes[1]) != 0xD8) {
    return std::nullopt;
  }
  JpegReadSession session;
  TrainPicture picture;
  if (!RunJpegDecode(bytes, &session, &picture)) return std::nullopt;
  return picture;
}

}  // namespace

std::optional<TrainPicture> DecodeJpeg(std::string_view bytes) {
  try {
    return DecodeJpegUnguarded(bytes);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace zielwerk
