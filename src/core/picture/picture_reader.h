// SPDX-License-Identifier: GPL-3.0-or-later
// The four picture readers (BMP, JPEG, PNG, GIF) and reading a picture file by
// its content. Every reader takes the whole file in memory, checks each size,
// offset and index against the bytes it was given, refuses pictures wider or
// higher than kMaxPictureSide before allocating, and returns nullopt for
// anything it cannot decode, also when memory runs out. Pixels are allocated
// as their data arrives or once it is known to be there, so that a small file
// declaring a huge size costs about what it holds. Nothing is printed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "picture/train_picture.h"

namespace zielwerk {

// Largest width or height any reader accepts.
inline constexpr int kMaxPictureSide = 16384;
// Largest number of pixels any reader accepts (a quarter GiB of RGBA); far
// beyond any useful train picture, it keeps a small file from claiming gigabytes.
inline constexpr int64_t kMaxPicturePixels = int64_t{8192} * 8192;
// Largest file ReadPictureFile reads.
inline constexpr size_t kMaxPictureFileBytes = size_t{64} << 20;

// Windows bitmap: uncompressed 1, 4, 8, 16 (5-5-5, or any bit fields such as
// 5-6-5), 24 and 32 bits per pixel, and 8-bit run-length encoded; bottom-up
// rows only. 1 bit per pixel is black for 0 and white for 1 whatever the
// colour table says. Run-length data must hold a byte for every 1024 pixels
// at least, in a picture of more than 65536. The result has no alpha.
std::optional<TrainPicture> DecodeBmp(std::string_view bytes);

// JPEG through libjpeg (grey, YCbCr, RGB and CMYK). A file cut short is
// decoded as far as its data goes: the picture ends with the last band of 8
// or 16 rows that its data (the first scan's, in a progressive file) reaches,
// so the rows it lacks are not there at all and cost nothing; on the display
// they stay unlit, as libjpeg's grey for them would; nor does it go past the
// band where 512 pixels a byte of file (and 65536 more) are reached, as no
// file holds data for more: beyond, a damaged file gives padding. A progressive or
// multi-scan file is refused when the whole picture's coefficients would
// need more than 2048 bytes a byte of file (beyond 256 KiB) or more than 80 MiB
// (over 12 megapixels at full colour resolution, 24 with the usual halved
// colour), and when its first scan is not one of DC; an arithmetic-coded file
// of more than 65536 pixels is refused when it has more than 256 pixels a
// byte. The result has no alpha.
std::optional<TrainPicture> DecodeJpeg(std::string_view bytes);

// PNG through libpng: every colour type and depth, expanded to 8-bit RGBA.
// has_alpha is set when the file has an alpha channel or a transparent colour.
std::optional<TrainPicture> DecodePng(std::string_view bytes);

// GIF through giflib: the first frame placed on the logical screen, with its
// local or else the global colour map. The whole file must read cleanly.
// Screen pixels the frame does not cover, and pixels of the transparent index
// of the frame's graphics control, are transparent (alpha 0, has_alpha set).
// Neither frame nor screen may have more than 2731 pixels a byte of file.
std::optional<TrainPicture> DecodeGif(std::string_view bytes);

// Recognises the format by the first bytes alone (never by a file name), in
// the order BMP, JPEG, PNG, GIF, and decodes with that reader. nullopt when
// no reader recognises the bytes or the recognising reader fails.
std::optional<TrainPicture> DecodePicture(std::string_view bytes);

// Reads the regular file at `path` whole (refusing files over
// kMaxPictureFileBytes) and decodes it with DecodePicture. nullopt when the
// file cannot be read or decoded.
std::optional<TrainPicture> ReadPictureFile(const std::string& path);

// Why ReadPictureFile gave no picture.
enum class PictureFileProblem {
  kNone,         // it gave one
  kMissing,      // no such file, or a folder on its path is missing
  kUnreadable,   // no permission, a folder, a device
  kTooLarge,     // larger than kMaxPictureFileBytes
  kNotAPicture,  // no reader recognises or decodes the bytes
};

// ReadPictureFile that also says why it gave no picture.
std::optional<TrainPicture> ReadPictureFile(const std::string& path, PictureFileProblem& problem);

// True when width and height are both 1 to kMaxPictureSide and their product
// is at most kMaxPicturePixels: the check every reader makes before allocating.
bool PictureSizeAllowed(int64_t width, int64_t height);

}  // namespace zielwerk
