// SPDX-License-Identifier: GPL-3.0-or-later
// Picture files for the picture maker: any format gdk-pixbuf reads on the
// system, decoded into memory the program owns, and the file chooser's
// patterns for them.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <memory>
#include <string>
#include <vector>

#include "core/picture/picture_conversion.h"
#include "core/picture/train_picture.h"

namespace zielwerk {

// A decoded picture and a view of its pixels; copies share the pixels.
class SourcePicture {
 public:
  SourcePicture() = default;

  // Reads the file at `path` (UTF-8) and decodes it. GIF goes through
  // Zielwerk's own reader, which decodes the first frame alone; every other
  // format through gdk-pixbuf, which is asked for the picture's size first
  // and stopped before it decodes a picture larger than the readers accept
  // (PictureSizeAllowed); what gdk-pixbuf does not know goes to the
  // system's decoders (DecodeWithSystem). A photo's stored orientation is
  // applied. On failure the result is empty and `error` says why, in German,
  // naming the file.
  static SourcePicture Load(const std::string& path, std::string& error);

  bool empty() const { return view_.pixels == nullptr; }
  const PixelView& view() const { return view_; }

 private:
  std::shared_ptr<GdkPixbuf> pixbuf_;
  std::shared_ptr<const TrainPicture> decoded_;
  PixelView view_;
};

// Glob patterns of the file names of every picture format the program reads
// on this system ("*.jpg", "*.tiff", ...), sorted.
std::vector<std::string> PictureFilePatterns();

// The last part of `path`, as messages name a file.
std::string ShownFileName(const std::string& path);

}  // namespace zielwerk
