// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_location.h"

#include "file/file_access.h"
#include "messages/messages.h"

namespace zielwerk {
namespace {

// A path written on Windows reaches Linux with backslashes, and a name is
// all that is worth looking for elsewhere.
std::string_view FileNameOf(std::string_view path) {
  const size_t last = path.find_last_of("/\\");
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string_view FolderOf(std::string_view path) {
  const size_t last = path.find_last_of(kPathSeparators);
  return last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
}

}  // namespace

std::string LocatePictureFile(std::string_view stored_path, std::string_view settings_path) {
  const std::string stored(stored_path);
  if (stored.empty() || IsRegularFile(stored)) return stored;
  const std::string_view name = FileNameOf(stored_path);
  if (name.empty()) return stored;
  for (const std::string& folder : {std::string(FolderOf(settings_path)), WorkingFolder()}) {
    std::string beside = folder + std::string(name);
    if (IsRegularFile(beside)) return beside;
  }
  return stored;
}

std::string PictureNotSentStatus(std::string_view path, PictureFileProblem problem) {
  std::string reason;
  switch (problem) {
    case PictureFileProblem::kMissing:
      reason = MessageText(Message::kPictureFileMissing);
      break;
    case PictureFileProblem::kUnreadable:
      reason = MessageText(Message::kPictureFileUnreadable);
      break;
    case PictureFileProblem::kTooLarge:
      reason = ComposeMessage(Message::kPictureFileTooLarge,
                              {std::to_string(kMaxPictureFileBytes >> 20)});
      break;
    case PictureFileProblem::kNone:
    case PictureFileProblem::kNotAPicture:
      reason = MessageText(Message::kPictureFileNotPicture);
      break;
  }
  return ComposeMessage(Message::kPictureNotSent, {Quoted(FileNameOf(path)), reason});
}

}  // namespace zielwerk
