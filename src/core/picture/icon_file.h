// SPDX-License-Identifier: GPL-3.0-or-later
// The toolbar and menu icons in the working folder's "Icons/" folder: PNG
// files on Linux, ICO files on Windows (the extension comes from
// icon_file_posix.cc or icon_file_win32.cc).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "picture/train_picture.h"

namespace zielwerk {

// The toolbar and menu icons in their load order; kIconNames gives each its
// file name (without extension), in the same order.
enum class Icon { kOpen, kSave, kSaveAs, kLogOut, kHelp, kInfo, kSettingsUpload, kScrollUpload,
                  kPictureUpload, kPrint, kPictureOpen };
inline constexpr std::array<std::string_view, 11> kIconNames = {
    "Open",           "Save",         "SaveAs",        "LogOut", "Help",       "Info",
    "SettingsUpload", "ScrollUpload", "PictureUpload", "Print",  "PictureOpen"};
inline constexpr int kIconCount = static_cast<int>(kIconNames.size());
static_assert(static_cast<int>(Icon::kPictureOpen) + 1 == kIconCount);

constexpr std::string_view IconName(Icon icon) { return kIconNames[static_cast<size_t>(icon)]; }

// ".png" on Linux, ".ico" on Windows.
extern const std::string_view kIconFileExtension;

// "Icons/" + `name` + kIconFileExtension: the file of the icon called `name`
// ("Open", "Save", ...), relative to the working folder.
std::string IconFilePath(std::string_view name);

// The picture of an ICO container: of its entries, the one nearest to
// 24 x 24 (the larger one on a tie), which must be a PNG or a 32-bit bitmap
// with alpha. nullopt for anything else, or when the entry cannot be decoded.
std::optional<TrainPicture> DecodeIco(std::string_view bytes);

// Reads an icon file as ReadPictureFile reads a picture, but an ICO container
// through DecodeIco. nullopt when it cannot be read or decoded.
std::optional<TrainPicture> ReadIconFile(const std::string& path);

}  // namespace zielwerk
