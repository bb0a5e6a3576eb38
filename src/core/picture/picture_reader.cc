// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_reader.h"

#include <new>

#include "file/file_access.h"

namespace zielwerk {

namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

bool LooksLikeBmp(std::string_view bytes) {
  return bytes.size() >= 14 && StartsWith(bytes, "BM") && bytes[6] == 0 && bytes[7] == 0 &&
         bytes[8] == 0 && bytes[9] == 0;
}

bool LooksLikeJpeg(std::string_view bytes) {
  return bytes.size() >= 3 && StartsWith(bytes, "\xFF\xD8");
}

bool LooksLikePng(std::string_view bytes) {
  return StartsWith(bytes, std::string_view("\x89PNG\r\n\x1A\n", 8));
}

bool LooksLikeGif(std::string_view bytes) { return StartsWith(bytes, "GIF"); }

std::optional<TrainPicture> ReadPictureFileUnguarded(const std::string& path,
                                                     PictureFileProblem& problem) {
  std::string bytes;
  switch (ReadWholeFile(path, bytes, FileReadRules{true, kMaxPictureFileBytes})) {
    case FileReadOutcome::kRead:
      break;
    case FileReadOutcome::kMissing:
      problem = PictureFileProblem::kMissing;
      return std::nullopt;
    case FileReadOutcome::kUnreadable:
      problem = PictureFileProblem::kUnreadable;
      return std::nullopt;
    case FileReadOutcome::kTooLarge:
      problem = PictureFileProblem::kTooLarge;
      return std::nullopt;
  }
  // A file that shrank while it was read is decoded as far as it went.
  std::optional<TrainPicture> picture = DecodePicture(bytes);
  problem = picture ? PictureFileProblem::kNone : PictureFileProblem::kNotAPicture;
  return picture;
}

}  // namespace

bool PictureSizeAllowed(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

std::optional<TrainPicture> DecodePicture(std::string_view bytes) {
  if (LooksLikeBmp(bytes)) return DecodeBmp(bytes);
  if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes);
  if (LooksLikePng(bytes)) return DecodePng(bytes);
  if (LooksLikeGif(bytes)) return DecodeGif(bytes);
  return std::nullopt;
}

std::optional<TrainPicture> ReadPictureFile(const std::string& path) {
  PictureFileProblem problem;
  return ReadPictureFile(path, problem);
}

std::optional<TrainPicture> ReadPictureFile(const std::string& path, PictureFileProblem& problem) {
  try {
    return ReadPictureFileUnguarded(path, problem);
  } catch (const std::bad_alloc&) {
    // Only a picture's pixels are large enough to run out of memory.
    problem = PictureFileProblem::kNotAPicture;
    return std::nullopt;
  }
}

}  // namespace zielwerk
