// SPDX-License-Identifier: GPL-3.0-or-later
// The GIF reader over giflib's record-level calls, so that every size is
// checked before a buffer is made: the first frame is decoded line by line
// onto the logical screen, and the records after it are read through to the
// end of the file without decoding them.
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include <gif_lib.h>

#include "picture/picture_reader.h"

namespace zielwerk {

namespace {

// An LZW code of k bits exists only once the dictionary holds 2^(k-1)
// entries, and no entry is longer than the dictionary: a code stands for at
// most 4096 pixels and then takes 12 bits, so no real frame holds more than
// 2731 pixels a byte of file. The screen, which may be larger than the first
// frame (the rest is transparent), is held to the same, so that a few bytes
// cannot claim megabytes.
constexpr uint64_t kMaxLzwPixelsPerByte = 4096 * 8 / 12 + 1;

struct GifSource {
  std::string_view bytes;
  size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  if (length <= 0) return 0;
  size_t count = std::min(static_cast<size_t>(length), source->bytes.size() - source->position);
  std::memcpy(out, source->bytes.data() + source->position, count);
  source->position += count;
  return static_cast<int>(count);
}

// Closes the giflib handle on every way out.
class GifReadSession {
 public:
  explicit GifReadSession(GifSource* source) {
    int error = 0;
    gif_ = DGifOpen(source, ReadFromMemory, &error);
  }
  ~GifReadSession() {
    if (gif_ != nullptr) {
      int error = 0;
      DGifCloseFile(gif_, &error);
    }
  }
  GifReadSession(const GifReadSession&) = delete;
  GifReadSession& operator=(const GifReadSession&) = delete;

  GifFileType* gif() const { return gif_; }

 private:
  GifFileType* gif_ = nullptr;
};

// Reads one extension record through; keeps the transparent index of a
// graphics control extension in `transparent_index` (-1 for none).
bool ReadExtension(GifFileType* gif, int* transparent_index) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] == 4) {
    GraphicsControlBlock control{};
    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
      *transparent_index = control.TransparentColor;
    }
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

// Reads a frame's compressed data through without decoding it.
bool SkipFrameData(GifFileType* gif) {
  int code_size = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif, &code_size, &block) == GIF_ERROR) return false;
  while (block != nullptr) {
    if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

using Palette = std::array<std::array<uint8_t, 4>, 256>;

// The first frame as decoded: its colours, and the colour indexes of its
// pixels that fall on the screen, `visible_width` a row from (left, top).
struct FirstFrame {
  Palette palette;
  int left = 0;
  int top = 0;
  int visible_width = 0;
  int visible_rows = 0;
  std::vector<GifPixelType> indexes;
};

// Decodes the frame whose descriptor giflib has just read, cutting off
// whatever lies outside the screen of `picture` (whose size is set). Only
// the frame's pixels are kept, growing as its rows arrive; the screen is made
// by PaintFirstFrame once the whole file has read cleanly, so a file that
// fails costs no more than the rows it delivered.
bool DecodeFirstFrame(GifFileType* gif, int transparent_index, uint64_t file_size,
                      TrainPicture& picture, FirstFrame& decoded) {
  const GifImageDesc& frame = gif->Image;
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > kMaxPictureSide ||
      frame.Height > kMaxPictureSide ||
      uint64_t(frame.Width) * uint64_t(frame.Height) > kMaxLzwPixelsPerByte * file_size) {
    return false;
  }
  const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
  if (map == nullptr || map->Colors == nullptr) return false;

  // Pixel values run up to 255 whatever the map's size; those past the map
  // read as opaque black. The transparent index counts even past the map.
  Palette& palette = decoded.palette;
  for (auto& entry : palette) entry = {0, 0, 0, 255};
  const int map_size = std::clamp(map->ColorCount, 0, 256);
  for (int i = 0; i < map_size; ++i) {
    palette[i] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue, 255};
  }
  if (transparent_index >= 0 && transparent_index < 256) {
    palette[transparent_index] = {0, 0, 0, 0};
    picture.has_alpha = true;
  }

  const int screen_width = picture.width;
  const int screen_height = picture.height;
  if (frame.Left != 0 || frame.Top != 0 || frame.Width < screen_width ||
      frame.Height < screen_height) {
    picture.has_alpha = true;
  }
  decoded.left = frame.Left;
  decoded.top = frame.Top;
  decoded.visible_width =
      frame.Left < screen_width ? std::min(frame.Width, screen_width - frame.Left) : 0;
  const size_t row_bytes = static_cast<size_t>(decoded.visible_width);

  std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
  auto read_row = [&](int row) {
    if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return false;
    const int64_t y = int64_t{frame.Top} + row;
    if (y >= screen_height || row_bytes == 0) return true;
    if (row >= decoded.visible_rows) {
      decoded.visible_rows = row + 1;
      decoded.indexes.resize(row_bytes * static_cast<size_t>(decoded.visible_rows));
    }
    std::memcpy(decoded.indexes.data() + row_bytes * static_cast<size_t>(row), line.data(), row_bytes);
    return true;
  };
  if (frame.Interlace) {
    static constexpr int kPassStart[] = {0, 4, 2, 1};
    static constexpr int kPassStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int row = kPassStart[pass]; row < frame.Height; row += kPassStep[pass]) {
        if (!read_row(row)) return false;
      }
    }
  } else {
    for (int row = 0; row < frame.Height; ++row) {
      if (!read_row(row)) return false;
    }
  }
  return true;
}

// Makes the screen of `picture` (whose size is set): transparent, with the
// first frame's visible pixels in their colours.
void PaintFirstFrame(const FirstFrame& frame, TrainPicture& picture) {
  picture.rgba.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4, 0);
  for (int row = 0; row < frame.visible_rows; ++row) {
    const GifPixelType* in = frame.indexes.data() + static_cast<size_t>(row) * frame.visible_width;
    uint8_t* out = picture.rgba.data() +
                   (static_cast<size_t>(frame.top + row) * picture.width + frame.left) * 4;
    for (int x = 0; x < frame.visible_width; ++x, out += 4) {
      std::memcpy(out, frame.palette[in[x]].data(), 4);
    }
  }
}

std::optional<TrainPicture> DecodeGifUnguarded(std::string_view bytes) {
  if (bytes.size() < 3 || bytes.substr(0, 3) != "GIF") return std::nullopt;
  GifSource source{bytes, 0};
  GifReadSession session(&source);
  GifFileType* gif = session.gif();
  if (gif == nullptr || !PictureSizeAllowed(gif->SWidth, gif->SHeight) ||
      uint64_t(gif->SWidth) * uint64_t(gif->SHeight) > kMaxLzwPixelsPerByte * bytes.size()) {
    return std::nullopt;
  }

  TrainPicture picture;
  picture.width = gif->SWidth;
  picture.height = gif->SHeight;

  FirstFrame first_frame;
  bool have_frame = false;
  int transparent_index = -1;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) return std::nullopt;
    switch (record) {
      case IMAGE_DESC_RECORD_TYPE:
        if (DGifGetImageDesc(gif) == GIF_ERROR) return std::nullopt;
        if (have_frame) {
          if (!SkipFrameData(gif)) return std::nullopt;
        } else {
          if (!DecodeFirstFrame(gif, transparent_index, bytes.size(), picture, first_frame)) {
            return std::nullopt;
          }
          have_frame = true;
        }
        break;
      case EXTENSION_RECORD_TYPE: {
        // Only the graphics control before the first frame belongs to it.
        int ignored = -1;
        if (!ReadExtension(gif, have_frame ? &ignored : &transparent_index)) return std::nullopt;
        break;
      }
      case TERMINATE_RECORD_TYPE:
        if (!have_frame) return std::nullopt;
        PaintFirstFrame(first_frame, picture);
        return picture;
      default:
        return std::nullopt;
    }
  }
}

}  // namespace

std::optional<TrainPicture> DecodeGif(std::string_view bytes) {
  try {
    return DecodeGifUnguarded(bytes);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace zielwerk
