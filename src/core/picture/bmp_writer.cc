// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/bmp_writer.h"

#include <cstdint>

namespace zielwerk {
namespace {

void PutLe16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutLe32(std::string& out, uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

}  // namespace

std::string EncodeBmp24(const TrainPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 65535 ||
      picture.height > 65535 ||
      picture.rgba.size() < static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4) {
    return {};
  }
  const uint32_t width = static_cast<uint32_t>(picture.width);
  const uint32_t height = static_cast<uint32_t>(picture.height);
  const uint32_t row_bytes = (width * 3 + 3) & ~3u;
  const uint32_t image_bytes = row_bytes * height;
  constexpr uint32_t kHeaderBytes = 14 + 40;
  constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dpi

  std::string out;
  out.reserve(kHeaderBytes + image_bytes);
  out += "BM";
  PutLe32(out, kHeaderBytes + image_bytes);
  PutLe32(out, 0);  // reserved
  PutLe32(out, kHeaderBytes);
  PutLe32(out, 40);
  PutLe32(out, width);
  PutLe32(out, height);
  PutLe16(out, 1);   // planes
  PutLe16(out, 24);  // bits per pixel
  PutLe32(out, 0);   // BI_RGB
  PutLe32(out, image_bytes);
  PutLe32(out, kPixelsPerMetre);
  PutLe32(out, kPixelsPerMetre);
  PutLe32(out, 0);  // colours used
  PutLe32(out, 0);  // important colours

  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* pixel = picture.Pixel(x, y);
      out.push_back(static_cast<char>(pixel[2]));
      out.push_back(static_cast<char>(pixel[1]));
      out.push_back(static_cast<char>(pixel[0]));
    }
    out.append(row_bytes - width * 3, '\0');
  }
  return out;
}

}  // namespace zielwerk
