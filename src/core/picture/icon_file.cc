// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/icon_file.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include "file/file_access.h"
#include "picture/picture_reader.h"

namespace zielwerk {
namespace {

constexpr int kWantedSide = 24;

uint32_t Le(std::string_view bytes, size_t offset, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<uint8_t>(bytes[offset + static_cast<size_t>(i)]);
  }
  return value;
}

// A BITMAPINFOHEADER of 32 bits per pixel, uncompressed, with the height of
// the colour rows and the transparency mask together; its rows run bottom-up
// in B, G, R, A. The mask after them is redundant with the alpha and ignored.
std::optional<TrainPicture> DecodeIcoBitmap(std::string_view data) {
  if (data.size() < 40 || Le(data, 0, 4) < 40) return std::nullopt;
  const auto width = static_cast<int32_t>(Le(data, 4, 4));
  const auto double_height = static_cast<int32_t>(Le(data, 8, 4));
  const uint32_t bits = Le(data, 14, 2);
  const uint32_t compression = Le(data, 16, 4);
  if (bits != 32 || compression != 0 || double_height <= 0 || double_height % 2 != 0) {
    return std::nullopt;
  }
  const int32_t height = double_height / 2;
  if (!PictureSizeAllowed(width, height)) return std::nullopt;
  const size_t header = Le(data, 0, 4);
  const size_t row_bytes = static_cast<size_t>(width) * 4;
  if (header > data.size() || (data.size() - header) / row_bytes < static_cast<size_t>(height)) {
    return std::nullopt;
  }
  TrainPicture picture;
  picture.width = width;
  picture.height = height;
  picture.has_alpha = true;
  picture.rgba.resize(row_bytes * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    const char* row = data.data() + header + row_bytes * static_cast<size_t>(height - 1 - y);
    uint8_t* out = picture.rgba.data() + row_bytes * static_cast<size_t>(y);
    for (int32_t x = 0; x < width; ++x) {
      out[4 * x + 0] = static_cast<uint8_t>(row[4 * x + 2]);
      out[4 * x + 1] = static_cast<uint8_t>(row[4 * x + 1]);
      out[4 * x + 2] = static_cast<uint8_t>(row[4 * x + 0]);
      out[4 * x + 3] = static_cast<uint8_t>(row[4 * x + 3]);
    }
  }
  return picture;
}

bool IsIco(std::string_view bytes) {
  return bytes.size() >= 6 && Le(bytes, 0, 2) == 0 && Le(bytes, 2, 2) == 1 && Le(bytes, 4, 2) > 0;
}

}  // namespace

std::string IconFilePath(std::string_view name) {
  return "Icons/" + std::string(name) + std::string(kIconFileExtension);
}

std::optional<TrainPicture> DecodeIco(std::string_view bytes) {
  if (!IsIco(bytes)) return std::nullopt;
  const size_t count = Le(bytes, 4, 2);
  if (bytes.size() < 6 + 16 * count) return std::nullopt;
  std::optional<size_t> best;
  int best_distance = 0;
  int best_side = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i;
    // A stored 0 stands for 256.
    const int width = Le(bytes, entry, 1) == 0 ? 256 : static_cast<int>(Le(bytes, entry, 1));
    const int height = Le(bytes, entry + 1, 1) == 0 ? 256 : static_cast<int>(Le(bytes, entry + 1, 1));
    const int distance = std::abs(width - kWantedSide) + std::abs(height - kWantedSide);
    if (!best || distance < best_distance || (distance == best_distance && width > best_side)) {
      best = entry;
      best_distance = distance;
      best_side = width;
    }
  }
  const size_t size = Le(bytes, *best + 8, 4);
  const size_t offset = Le(bytes, *best + 12, 4);
  if (offset > bytes.size() || size > bytes.size() - offset) return std::nullopt;
  const std::string_view data = bytes.substr(offset, size);
  if (data.starts_with(std::string_view("\x89PNG\r\n\x1A\n", 8))) return DecodePng(data);
  return DecodeIcoBitmap(data);
}

std::optional<TrainPicture> ReadIconFile(const std::string& path) {
  try {
    std::string bytes;
    if (ReadWholeFile(path, bytes, FileReadRules{true, kMaxPictureFileBytes}) !=
        FileReadOutcome::kRead) {
      return std::nullopt;
    }
    return IsIco(bytes) ? DecodeIco(bytes) : DecodePicture(bytes);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace zielwerk
