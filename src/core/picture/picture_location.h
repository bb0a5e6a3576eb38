// SPDX-License-Identifier: GPL-3.0-or-later
// Where the custom picture a settings file names is read from, so that
// settings copied together with their picture to another folder or another
// computer still find it.
#pragma once

#include <string>
#include <string_view>

#include "picture/picture_reader.h"

namespace zielwerk {

// The file to read for the picture stored as `stored_path` under "Bild" of
// the settings file at `settings_path`: `stored_path` itself when it names a
// file; else the file of the same name (the part after its last "/" or "\",
// whichever system wrote it) in the settings file's folder, then in the
// working folder; else `stored_path` unchanged, so that what fails names the
// file the settings name. The stored value itself is never rewritten.
std::string LocatePictureFile(std::string_view stored_path, std::string_view settings_path);

// The status of a picture transfer that sends nothing because the picture
// file at `path` gave no picture: the file's name and why.
std::string PictureNotSentStatus(std::string_view path, PictureFileProblem problem);

}  // namespace zielwerk
