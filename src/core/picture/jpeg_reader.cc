// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG reader over libjpeg. libjpeg's own error handler ends the process
// and its warnings go to stderr; this reader returns to itself by longjmp and
// keeps quiet. The part under setjmp holds no C++ objects of its own.
#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "picture/picture_reader.h"
#include "picture/picture_rows.h"

namespace zielwerk {

namespace {

// What libjpeg may take for its own buffers, most of it, in a progressive or
// multi-scan file, one buffer for the whole picture's coefficients: two
// bytes a sample of each component, claimed as soon as the header is read.
// As a scan codes each block in a bit at least, a file holds the
// coefficients of some 1024 bytes a byte of it; 2048 bytes a byte leaves
// room for the blocks libjpeg adds to fill a component's last row and
// column of blocks. At least 256 KiB, for libjpeg's other buffers where a file is tiny;
// at most 80 MiB (a picture of 12 megapixels at full colour resolution, or
// of 24 with colour halved both ways). A file that needs more is refused:
// libjpeg-turbo, having no backing store to swap to, fails rather than go
// past the budget.
constexpr size_t kJpegBudgetPerByte = 2048;
constexpr uint64_t kArithmeticFreePixels = 65536;
// What Huffman coding reaches at best: two bits for a block of 64 pixels
// that is all one shade.
constexpr uint64_t kDensestPixelsPerByte = 256;
// A progressive file's first scan, at one bit a block.
constexpr uint64_t kMostPixelsWithData = 512;
constexpr size_t kJpegMinBudget = size_t{256} << 10;
constexpr size_t kJpegMaxBudget = size_t{80} << 20;

long JpegMemoryBudget(size_t file_size) {
  const size_t budget = file_size > kJpegMaxBudget / kJpegBudgetPerByte
                            ? kJpegMaxBudget
                            : std::max(kJpegMinBudget, file_size * kJpegBudgetPerByte);
  return static_cast<long>(budget);
}

// The lowest marker code libjpeg takes for a real marker. Where a scan with
// restart intervals runs into a lower one or a restart marker, libjpeg looks
// for the next restart and the scan's data may go on; at any other marker it
// is over.
constexpr int kFirstFrameMarker = 0xC0;

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  // Where the data ran out: the scan (1 for the first) and the band of rows
  // (iMCU row, 8 or 16 rows) being decoded then. With `margin`, the band
  // after it may still hold some data.
  bool data_ended = false;
  int ended_in_scan = 0;
  JDIMENSION ended_in_band = 0;
  bool margin = false;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

bool IsRestartMarker(int marker) { return marker >= JPEG_RST0 && marker <= JPEG_RST0 + 7; }

// libjpeg decodes past the end of a scan's data as if every further block
// were plain grey, down to the last row the header declares, and says so
// only by a warning. With Huffman coding the warning comes the moment the
// decoder needs bits beyond a marker; unless a restart marker lets the data
// resume, the rest of the scan is padding. Arithmetic coding reads up to a
// marker without a word, so there only the end of the file tells, and the
// byte or two the decoder still holds then may reach into the next band.
//
// The rows the first scan reaches are the measure of what a file holds, as a
// scan costs a bit a block at least, except a progressive scan that refines
// coefficients, where a byte or two skips up to 32767 empty blocks. A file
// whose first scan is such a refinement, with no DC before it (libjpeg only
// warns of it), is refused.
//
// Corrupt data can raise a warning for every block, so the others are let
// go first thing.
void OnJpegMessage(j_common_ptr common, int level) {
  auto* errors = reinterpret_cast<JpegErrorManager*>(common->err);
  switch (errors->base.msg_code) {
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_HIT_MARKER:
    case JWRN_JPEG_EOF:
      break;
    default:
      return;
  }
  if (level >= 0 || !common->is_decompressor) return;
  auto* info = reinterpret_cast<j_decompress_ptr>(common);
  if (errors->base.msg_code == JWRN_BOGUS_PROGRESSION && errors->base.msg_parm.i[1] == 0 &&
      info->input_scan_number <= 1) {
    OnJpegError(common);
  }
  if (errors->data_ended) return;
  const int marker = info->unread_marker;
  const bool scan_data_over =
      errors->base.msg_code == JWRN_HIT_MARKER &&
      (info->restart_interval == 0 || (marker >= kFirstFrameMarker && !IsRestartMarker(marker)));
  const bool file_over = errors->base.msg_code == JWRN_JPEG_EOF && info->arith_code;
  if (!scan_data_over && !file_over) return;
  errors->data_ended = true;
  errors->ended_in_scan = info->input_scan_number;
  errors->ended_in_band = info->input_iMCU_row;
  errors->margin = file_over;
}

void IgnoreJpegMessage(j_common_ptr) {}

// Owns the decompression state and its error manager.
class JpegReadSession {
 public:
  JpegReadSession() {
    info_.err = jpeg_std_error(&errors_.base);
    errors_.base.error_exit = OnJpegError;
    errors_.base.emit_message = OnJpegMessage;
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

// libjpeg-turbo writes RGBA rows itself (alpha 255); plain libjpeg writes
// RGB, which is widened here.
#ifdef JCS_ALPHA_EXTENSIONS
constexpr J_COLOR_SPACE kRgbOutput = JCS_EXT_RGBA;
constexpr int kRgbComponents = 4;
#else
constexpr J_COLOR_SPACE kRgbOutput = JCS_RGB;
constexpr int kRgbComponents = 3;
#endif

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

// Output rows per band of decoded blocks.
JDIMENSION BandHeight(const jpeg_decompress_struct& info) {
#if JPEG_LIB_VERSION >= 70
  return static_cast<JDIMENSION>(info.max_v_samp_factor * info.min_DCT_v_scaled_size);
#else
  return static_cast<JDIMENSION>(info.max_v_samp_factor * info.min_DCT_scaled_size);
#endif
}

// Whether the data of the first scan ran out: rows below it then hold nothing
// but padding, as later scans only refine what the first one placed.
bool FirstScanCut(const JpegErrorManager& errors) {
  return errors.data_ended && errors.ended_in_scan <= 1;
}

// The rows that hold data: the band where the first scan's data ran out is
// kept (its left part has pixels), the padding below it is not.
JDIMENSION RowsHoldingData(const jpeg_decompress_struct& info, const JpegErrorManager& errors) {
  if (!FirstScanCut(errors)) return info.output_height;
  const JDIMENSION bands = errors.ended_in_band + (errors.margin ? 2 : 1);
  return std::min(info.output_height, bands * BandHeight(info));
}

// The rows a file of `file_size` bytes can give data to: Huffman coding
// spends a bit at least on every block of a component in the first scan (the
// DC difference of a progressive file; a baseline file two), so no file
// holds data for more than 512 pixels a byte. What libjpeg makes beyond that
// of a damaged file (blocks it fills with nothing after a bad code) is
// padding: it stops at the band that reaches the bound, with 65536 pixels
// free for the headers' sake.
JDIMENSION RowsFileCanFill(const jpeg_decompress_struct& info, size_t file_size) {
  const uint64_t pixels = uint64_t{file_size} * kMostPixelsWithData + kArithmeticFreePixels;
  const uint64_t band = BandHeight(info);
  const uint64_t rows = (pixels / std::max<uint64_t>(info.output_width, 1) + band - 1) / band * band;
  return static_cast<JDIMENSION>(std::min<uint64_t>(rows, info.output_height));
}

// Arithmetic coding says "the same again" in a fraction of a bit and reads a
// marker as more of the same, so a file of a hundred bytes decodes as a
// picture of any height its header declares, and nothing tells where its
// data ended. Beyond 65536 pixels such a file may hold no more than
// kDensestPixelsPerByte: a real picture takes far more bytes.
bool ArithmeticPictureTooLarge(const jpeg_decompress_struct& info, size_t file_size) {
  const uint64_t pixels = uint64_t{info.image_width} * info.image_height;
  return info.arith_code && pixels > kArithmeticFreePixels &&
         pixels > uint64_t{file_size} * kDensestPixelsPerByte;
}

// Whether a file of several scans would need more for its coefficients (a
// block of 64 two-byte values for every block of every component, the rows
// of blocks rounded up to whole MCUs) than its budget allows. libjpeg keeps
// up to five rows of blocks of each component in memory whatever the budget
// says, as it smooths blocks across rows: a few hundred bytes declaring a
// picture 16000 pixels wide and a few rows high would take megabytes.
bool CoefficientsOverBudget(jpeg_decompress_struct& info, size_t file_size) {
  if (!jpeg_has_multiple_scans(&info)) return false;
  uint64_t blocks = 0;
  for (int c = 0; c < info.num_components; ++c) {
    const jpeg_component_info& component = info.comp_info[c];
    const uint64_t v = std::max(component.v_samp_factor, 1);
    const uint64_t h = std::max(component.h_samp_factor, 1);
    blocks += (component.width_in_blocks + h - 1) / h * h * ((component.height_in_blocks + v - 1) / v * v);
  }
  return blocks * sizeof(JBLOCK) > static_cast<uint64_t>(JpegMemoryBudget(file_size));
}

// Runs the decode under setjmp; everything it fills belongs to the caller.
// A file with several scans is read in libjpeg's buffered-image mode, scan by
// scan, so that reading stops where the first scan runs out instead of
// decoding padding into the whole picture's coefficients.
bool RunJpegDecode(std::string_view bytes, JpegReadSession* session, TrainPicture* picture) {
  jpeg_decompress_struct* info = session->info();
  const JpegErrorManager* errors = session->errors();
  if (setjmp(session->errors()->jump)) return false;

  jpeg_create_decompress(info);
  session->MarkCreated();
  info->mem->max_memory_to_use = JpegMemoryBudget(bytes.size());
  jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
  if (!PictureSizeAllowed(info->image_width, info->image_height)) return false;
  if (ArithmeticPictureTooLarge(*info, bytes.size())) return false;
  if (CoefficientsOverBudget(*info, bytes.size())) return false;

  const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = cmyk ? JCS_CMYK : kRgbOutput;
  info->buffered_image = jpeg_has_multiple_scans(info);
  jpeg_start_decompress(info);
  const int width = static_cast<int>(info->output_width);
  const int height = static_cast<int>(info->output_height);
  if (!PictureSizeAllowed(width, height) || info->output_components != (cmyk ? 4 : kRgbComponents)) {
    return false;
  }
  if (info->buffered_image) {
    int status = JPEG_SUSPENDED;
    do {
      status = jpeg_consume_input(info);
    } while (status != JPEG_REACHED_EOI && status != JPEG_SUSPENDED && !FirstScanCut(*errors));
    jpeg_start_output(info, info->input_scan_number);
  }

  picture->width = width;
  picture->height = height;
  picture->has_alpha = false;
  // Room at once for the rows a file of this size can fill, which for a
  // whole file is all of them: grown by doubling, the rows would be copied
  // again at every step.
  const uint64_t fillable_rows =
      std::min<uint64_t>(height, uint64_t{bytes.size()} * kDensestPixelsPerByte / width);
  picture->rgba.reserve(fillable_rows * width * 4);
  const JDIMENSION fillable = RowsFileCanFill(*info, bytes.size());
  while (info->output_scanline < std::min(RowsHoldingData(*info, *errors), fillable)) {
    const int y = static_cast<int>(info->output_scanline);
    GrowPictureRows(*picture, y + 1);
    uint8_t* row = picture->rgba.data() + static_cast<size_t>(y) * width * 4;
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(info, rows, 1) != 1) return false;
    if (cmyk) {
      CmykRowToRgba(row, width, info->saw_Adobe_marker);
    } else if (kRgbComponents == 3) {
      RgbRowToRgba(row, width);
    }
  }
  picture->height = static_cast<int>(info->output_scanline);
  // A file read to its last row is read to its end, as before; one cut short
  // has nothing more to give.
  if (!info->buffered_image && picture->height == height) jpeg_finish_decompress(info);
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
