// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows bitmap reader. Every field is read through ByteCursor, which
// cannot run past the end of the file, and every size is computed in 64 bits
// and checked against the file before anything is allocated.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

#include "picture/picture_reader.h"

namespace zielwerk {

namespace {

constexpr size_t kFileHeaderSize = 14;

enum BmpCompression : uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiBitfields = 3,
};

// Little-endian reads over a byte range that fail, rather than run past the
// end: a failed read gives 0 and makes ok() false for good.
class ByteCursor {
 public:
  explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  size_t remaining() const { return bytes_.size() - position_; }

  void Seek(size_t position) {
    if (position > bytes_.size()) {
      ok_ = false;
      position_ = bytes_.size();
    } else {
      position_ = position;
    }
  }
  void Skip(size_t count) {
    if (count > remaining()) {
      ok_ = false;
      position_ = bytes_.size();
    } else {
      position_ += count;
    }
  }
  uint8_t U8() { return static_cast<uint8_t>(Take(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Take(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Take(4)); }
  int32_t S32() { return static_cast<int32_t>(U32()); }

 private:
  uint64_t Take(size_t count) {
    if (!ok_ || count > remaining()) {
      ok_ = false;
      position_ = bytes_.size();
      return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i) {
      value |= uint64_t{static_cast<uint8_t>(bytes_[position_ + i])} << (8 * i);
    }
    position_ += count;
    return value;
  }

  std::string_view bytes_;
  size_t position_ = 0;
  bool ok_ = true;
};

struct BmpHeader {
  uint32_t pixel_offset = 0;
  uint32_t info_size = 0;
  int64_t width = 0;
  int64_t height = 0;
  uint32_t planes = 0;
  uint32_t bits_per_pixel = 0;
  uint32_t compression = kBiRgb;
  uint32_t image_size = 0;
  uint32_t colours_used = 0;
  std::array<uint32_t, 3> masks{};  // red, green, blue
  bool has_masks = false;
  size_t palette_offset = 0;
  size_t palette_entry_size = 4;
};

bool ReadHeader(ByteCursor& in, BmpHeader& header) {
  in.Seek(10);
  header.pixel_offset = in.U32();
  header.info_size = in.U32();
  if (!in.ok()) return false;
  switch (header.info_size) {
    case 12:  // OS/2 1.x core header: unsigned 16-bit sizes, 3-byte colour entries
      header.width = in.U16();
      header.height = in.U16();
      header.planes = in.U16();
      header.bits_per_pixel = in.U16();
      header.palette_entry_size = 3;
      break;
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      header.width = in.S32();
      header.height = in.S32();
      header.planes = in.U16();
      header.bits_per_pixel = in.U16();
      header.compression = in.U32();
      header.image_size = in.U32();
      in.Skip(8);  // resolution
      header.colours_used = in.U32();
      in.Skip(4);  // important colours
      break;
    default:
      return false;
  }
  if (!in.ok()) return false;
  header.palette_offset = kFileHeaderSize + header.info_size;
  if (header.compression == kBiBitfields) {
    // OS/2 2.x uses 3 for Huffman coding, which is not read.
    if (header.info_size == 64) return false;
    // A plain 40-byte header is followed by the three masks; the later
    // headers carry them inside.
    in.Seek(kFileHeaderSize + 40);
    for (uint32_t& mask : header.masks) mask = in.U32();
    if (!in.ok()) return false;
    header.has_masks = true;
    if (header.info_size == 40) header.palette_offset += 12;
  }
  return true;
}

bool HeaderAllowed(const BmpHeader& header, size_t file_size) {
  if (header.planes != 1) return false;
  switch (header.bits_per_pixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  switch (header.compression) {
    case kBiRgb:
      break;
    case kBiRle8:
      if (header.bits_per_pixel != 8) return false;
      break;
    case kBiBitfields:
      if (header.bits_per_pixel != 16 && header.bits_per_pixel != 32) return false;
      break;
    default:
      return false;
  }
  // Rows stored from the top (negative height) are deliberately not read.
  if (!PictureSizeAllowed(header.width, header.height)) return false;
  // The pixels lie after the header and any bit masks that follow it.
  return header.pixel_offset >= header.palette_offset && header.pixel_offset < file_size;
}

// One colour channel described by a bit mask, with a table that widens its
// values to 8 bits.
struct MaskChannel {
  uint32_t mask = 0;
  int shift = 0;
  std::array<uint8_t, 256> scale{};

  bool Init(uint32_t channel_mask) {
    mask = channel_mask;
    if (mask == 0) return true;  // the channel is 0 throughout
    shift = std::countr_zero(mask);
    uint32_t field = mask >> shift;
    if ((field & (field + 1)) != 0) return false;  // not one contiguous run of bits
    int bits = std::popcount(field);
    if (bits > 8) {
      shift += bits - 8;
      bits = 8;
    }
    uint32_t max = (1u << bits) - 1;
    for (uint32_t v = 0; v <= max; ++v) scale[v] = static_cast<uint8_t>((v * 255 + max / 2) / max);
    return true;
  }
  uint8_t Get(uint32_t pixel) const {
    return mask == 0 ? 0 : scale[((pixel & mask) >> shift) & 0xFF];
  }
};

using Palette = std::array<std::array<uint8_t, 4>, 256>;

// Unused entries, and indexes past the file's table, read as opaque black.
bool ReadPalette(std::string_view bytes, const BmpHeader& header, Palette& palette) {
  for (auto& entry : palette) entry = {0, 0, 0, 255};
  size_t capacity = size_t{1} << header.bits_per_pixel;
  size_t count = capacity;
  if (header.palette_entry_size == 3) {
    // The core header has no count: the table fills the gap before the pixels.
    size_t gap = header.pixel_offset > header.palette_offset
                     ? header.pixel_offset - header.palette_offset
                     : 0;
    count = std::min(capacity, gap / 3);
  } else if (header.colours_used != 0) {
    count = std::min<size_t>(capacity, header.colours_used);
  }
  if (header.palette_offset > bytes.size() ||
      count > (bytes.size() - header.palette_offset) / header.palette_entry_size) {
    return false;
  }
  const auto* table = reinterpret_cast<const uint8_t*>(bytes.data()) + header.palette_offset;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = table + i * header.palette_entry_size;
    palette[i] = {entry[2], entry[1], entry[0], 255};
  }
  return true;
}

inline void PutPixel(uint8_t* out, const std::array<uint8_t, 4>& colour) {
  std::memcpy(out, colour.data(), 4);
}

inline void PutPixel(uint8_t* out, uint8_t r, uint8_t g, uint8_t b) {
  out[0] = r;
  out[1] = g;
  out[2] = b;
  out[3] = 255;
}

// Bytes from one row's start to the next: rows are padded to 4 bytes.
uint64_t RowStride(const BmpHeader& header) {
  return (static_cast<uint64_t>(header.width) * header.bits_per_pixel + 31) / 32 * 4;
}

// Whether the file holds every row the header promises (the last row may
// lack its padding).
bool UncompressedDataFits(std::string_view bytes, const BmpHeader& header) {
  const uint64_t last_row_bytes =
      (static_cast<uint64_t>(header.width) * header.bits_per_pixel + 7) / 8;
  const uint64_t needed =
      RowStride(header) * static_cast<uint64_t>(header.height - 1) + last_row_bytes;
  return needed <= bytes.size() - header.pixel_offset;
}

// Fills `picture` (already sized) from rows that UncompressedDataFits has
// checked; false for bit fields that are not allowed.
bool DecodeUncompressed(std::string_view bytes, const BmpHeader& header, const Palette& palette,
                        TrainPicture& picture) {
  const uint64_t width = static_cast<uint64_t>(header.width);
  const uint64_t stride = RowStride(header);

  std::array<MaskChannel, 3> channels;
  if (header.bits_per_pixel == 16 || header.bits_per_pixel == 32) {
    std::array<uint32_t, 3> masks =
        header.has_masks ? header.masks
        : header.bits_per_pixel == 16 ? std::array<uint32_t, 3>{0x7C00, 0x03E0, 0x001F}
                                      : std::array<uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF};
    if (header.bits_per_pixel == 16 && ((masks[0] | masks[1] | masks[2]) >> 16) != 0) return false;
    if ((masks[0] | masks[1] | masks[2]) == 0) return false;
    for (size_t c = 0; c < 3; ++c) {
      if (!channels[c].Init(masks[c])) return false;
    }
  }

  static constexpr std::array<uint8_t, 4> kBlack{0, 0, 0, 255};
  static constexpr std::array<uint8_t, 4> kWhite{255, 255, 255, 255};
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data()) + header.pixel_offset;
  const int w = static_cast<int>(width);
  for (int64_t row = 0; row < header.height; ++row) {
    const uint8_t* in = data + stride * static_cast<uint64_t>(row);
    uint8_t* out = picture.rgba.data() +
                   static_cast<size_t>(header.height - 1 - row) * width * 4;
    switch (header.bits_per_pixel) {
      case 1:
        // The display knows only dark and light, and pictures drawn for it
        // mean 0 as dark, so a monochrome file's colour table is ignored.
        for (int x = 0; x < w; ++x, out += 4) {
          PutPixel(out, (in[x >> 3] >> (7 - (x & 7))) & 1 ? kWhite : kBlack);
        }
        break;
      case 4:
        for (int x = 0; x < w; ++x, out += 4) {
          PutPixel(out, palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]);
        }
        break;
      case 8:
        for (int x = 0; x < w; ++x, out += 4) PutPixel(out, palette[in[x]]);
        break;
      case 16:
        for (int x = 0; x < w; ++x, out += 4, in += 2) {
          uint32_t pixel = uint32_t{in[0]} | uint32_t{in[1]} << 8;
          PutPixel(out, channels[0].Get(pixel), channels[1].Get(pixel), channels[2].Get(pixel));
        }
        break;
      case 24:
        for (int x = 0; x < w; ++x, out += 4, in += 3) PutPixel(out, in[2], in[1], in[0]);
        break;
      case 32:
        if (!header.has_masks) {
          for (int x = 0; x < w; ++x, out += 4, in += 4) PutPixel(out, in[2], in[1], in[0]);
        } else {
          for (int x = 0; x < w; ++x, out += 4, in += 4) {
            uint32_t pixel = uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 |
                             uint32_t{in[3]} << 24;
            PutPixel(out, channels[0].Get(pixel), channels[1].Get(pixel), channels[2].Get(pixel));
          }
        }
        break;
    }
  }
  return true;
}

// Sets every pixel of `picture` to `colour`: copies of ever larger blocks,
// as a loop over the pixels is slow for the megapixels a few bytes of
// run-length data may leave unset.
void FillPicture(TrainPicture& picture, const std::array<uint8_t, 4>& colour) {
  uint8_t* pixels = picture.rgba.data();
  const size_t size = picture.rgba.size();
  if (size == 0) return;
  std::memcpy(pixels, colour.data(), 4);
  for (size_t done = 4; done < size; done *= 2) {
    std::memcpy(pixels + done, pixels, std::min(done, size - done));
  }
}

// A run fills at most 127 pixels a byte, and an end-of-line code ends a row
// in two bytes, so the data of any encoder that codes its rows holds a byte
// for every 1024 pixels at least, unless it has blank rows wider than 2048
// pixels. Only the skip and end-of-picture codes leave more of a picture to
// colour 0, and a bitmap that needs them to reach its size from fewer bytes
// is refused before anything is allocated: a few bytes cannot claim a
// quarter GiB. A picture of up to 65536 pixels costs little and is read
// whatever its data.
constexpr uint64_t kMaxRlePixelsPerByte = 1024;
constexpr uint64_t kRlePixelsAlwaysRead = 65536;

// The run-length data: from the pixel offset to the end of the file or the
// end the header gives, whichever comes first.
std::string_view Rle8Data(std::string_view bytes, const BmpHeader& header) {
  std::string_view data = bytes.substr(header.pixel_offset);
  if (header.image_size != 0 && header.image_size < data.size()) {
    data = data.substr(0, header.image_size);
  }
  return data;
}

// Decodes 8-bit run-length `data` into `picture` (already sized). Runs and
// literal strings that reach past the row or the picture are cut at its
// edge; pixels the data never sets keep colour 0. Data that ends before the
// last row or the end-of-picture code is refused. Without a picture, only
// checks the data, so that the picture is allocated for good data alone.
bool DecodeRle8(std::string_view data, const BmpHeader& header, const Palette& palette,
                TrainPicture* picture) {
  ByteCursor in(data);
  const int64_t width = header.width;
  const int64_t height = header.height;
  if (picture != nullptr) FillPicture(*picture, palette[0]);

  int64_t x = 0;
  int64_t row = 0;
  auto put = [&](uint8_t index) {
    if (picture != nullptr && x < width && row < height) {
      PutPixel(&picture->rgba[static_cast<size_t>((height - 1 - row) * width + x) * 4],
               palette[index]);
    }
    ++x;
  };
  while (row < height) {
    uint8_t count = in.U8();
    uint8_t value = in.U8();
    if (!in.ok()) return false;
    if (count > 0) {
      for (int i = 0; i < count && x < width; ++i) put(value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++row;
        break;
      case 1:  // end of picture
        return true;
      case 2: {  // move right and up
        uint8_t dx = in.U8();
        uint8_t dy = in.U8();
        if (!in.ok()) return false;
        x += dx;
        row += dy;
        break;
      }
      default: {  // a literal string, padded to an even length
        if (value > in.remaining()) return false;
        for (int i = 0; i < value; ++i) put(in.U8());
        if ((value & 1) != 0 && in.remaining() > 0) in.Skip(1);
        break;
      }
    }
  }
  return true;
}

std::optional<TrainPicture> DecodeBmpUnguarded(std::string_view bytes) {
  if (bytes.size() < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M' || bytes[6] != 0 ||
      bytes[7] != 0 || bytes[8] != 0 || bytes[9] != 0) {
    return std::nullopt;
  }
  ByteCursor in(bytes);
  BmpHeader header;
  if (!ReadHeader(in, header) || !HeaderAllowed(header, bytes.size())) return std::nullopt;

  Palette palette{};
  if (header.bits_per_pixel == 4 || header.bits_per_pixel == 8) {
    if (!ReadPalette(bytes, header, palette)) return std::nullopt;
  }

  TrainPicture picture;
  picture.width = static_cast<int>(header.width);
  picture.height = static_cast<int>(header.height);
  picture.has_alpha = false;
  if (header.compression == kBiRle8) {
    const std::string_view data = Rle8Data(bytes, header);
    const uint64_t pixels = static_cast<uint64_t>(header.width * header.height);
    if (pixels > std::max(kRlePixelsAlwaysRead, kMaxRlePixelsPerByte * data.size()) ||
        !DecodeRle8(data, header, palette, nullptr)) {
      return std::nullopt;
    }
    picture.rgba.resize(static_cast<size_t>(header.width * header.height) * 4);
    DecodeRle8(data, header, palette, &picture);
  } else {
    if (!UncompressedDataFits(bytes, header)) return std::nullopt;
    picture.rgba.resize(static_cast<size_t>(header.width * header.height) * 4);
    if (!DecodeUncompressed(bytes, header, palette, picture)) return std::nullopt;
  }
  return picture;
}

}  // namespace

std::optional<TrainPicture> DecodeBmp(std::string_view bytes) {
  try {
    return DecodeBmpUnguarded(bytes);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace zielwerk
