// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_maker/picture_file.h"

#include <algorithm>
#include <string_view>

#include "core/file/file_access.h"
#include "core/messages/messages.h"
#include "core/picture/picture_reader.h"
#include "picture_maker/system_decoder.h"

namespace zielwerk {
namespace {

// gdk-pixbuf is fed the file in pieces, so that it reports the picture's
// size before it has all of a large file.
constexpr size_t kFeedBytes = 64 * 1024;


struct SizeCheck {
  int width = 0;
  int height = 0;
  bool refused = false;
};

// Called by the loader once the picture's size is known, before it makes
// room for the pixels. A size of 0 x 0 tells the format's module to stop
// there. Animated cursors are refused too: every frame would be decoded.
void CheckSize(GdkPixbufLoader* loader, int width, int height, gpointer data) {
  auto* check = static_cast<SizeCheck*>(data);
  check->width = width;
  check->height = height;
  GdkPixbufFormat* format = gdk_pixbuf_loader_get_format(loader);
  gchar* name = format != nullptr ? gdk_pixbuf_format_get_name(format) : nullptr;
  const bool animation = name != nullptr && std::string_view(name) == "ani";
  g_free(name);
  if (animation || !PictureSizeAllowed(width, height)) {
    check->refused = true;
    gdk_pixbuf_loader_set_size(loader, 0, 0);
  }
}

std::shared_ptr<GdkPixbuf> DecodeWithGdkPixbuf(const std::string& bytes, SizeCheck& check) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  g_signal_connect(loader, "size-prepared", G_CALLBACK(CheckSize), &check);
  bool fed = true;
  for (size_t at = 0; at < bytes.size() && fed && !check.refused; at += kFeedBytes) {
    const size_t piece = std::min(kFeedBytes, bytes.size() - at);
    fed = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data() + at), piece,
                                  nullptr);
  }
  // Closing a loader that was stopped or failed reports an error; the
  // picture is then not taken whatever the loader holds.
  const bool closed = gdk_pixbuf_loader_close(loader, nullptr);
  GdkPixbuf* pixbuf = fed && closed && !check.refused ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  std::shared_ptr<GdkPixbuf> result;
  if (pixbuf != nullptr && gdk_pixbuf_get_bits_per_sample(pixbuf) == 8 &&
      gdk_pixbuf_get_colorspace(pixbuf) == GDK_COLORSPACE_RGB &&
      PictureSizeAllowed(gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf))) {
    // A photo taken with the camera turned keeps its pixels as the sensor
    // saw them and says in its EXIF data how to turn them.
    result.reset(gdk_pixbuf_apply_embedded_orientation(pixbuf), g_object_unref);
  }
  g_object_unref(loader);
  return result;
}

}  // namespace

SourcePicture SourcePicture::Load(const std::string& path, std::string& error) {
  SourcePicture picture;
  error.clear();
  const std::string name = Quoted(ShownFileName(path));
  std::string bytes;
  switch (ReadWholeFile(path, bytes, FileReadRules{true, kMaxPictureFileBytes})) {
    case FileReadOutcome::kRead:
      break;
    case FileReadOutcome::kMissing:
      error = ComposeMessage(Message::kFileMissing, {name});
      return picture;
    case FileReadOutcome::kTooLarge:
      error = ComposeMessage(Message::kFileTooLarge, {name, std::to_string(kMaxPictureFileBytes >> 20)});
      return picture;
    case FileReadOutcome::kUnreadable:
      error = ComposeMessage(Message::kFileUnreadable, {name});
      return picture;
  }

  SizeCheck check;
  if (bytes.starts_with("GIF")) {
    if (std::optional<TrainPicture> decoded = DecodeGif(bytes)) {
      auto shared = std::make_shared<const TrainPicture>(std::move(*decoded));
      picture.view_ = ViewOf(*shared);
      picture.decoded_ = std::move(shared);
    }
  } else if (std::shared_ptr<GdkPixbuf> pixbuf = DecodeWithGdkPixbuf(bytes, check)) {
    picture.view_ = PixelView{gdk_pixbuf_read_pixels(pixbuf.get()), gdk_pixbuf_get_width(pixbuf.get()),
                              gdk_pixbuf_get_height(pixbuf.get()),
                              static_cast<size_t>(gdk_pixbuf_get_rowstride(pixbuf.get())),
                              gdk_pixbuf_get_n_channels(pixbuf.get())};
    picture.pixbuf_ = std::move(pixbuf);
  } else if (!check.refused) {
    SystemDecoding system = DecodeWithSystem(bytes);
    if (system.picture) {
      auto shared = std::make_shared<const TrainPicture>(std::move(*system.picture));
      picture.view_ = ViewOf(*shared);
      picture.decoded_ = std::move(shared);
    }
    check.refused = system.too_large;
    check.width = system.width;
    check.height = system.height;
  }
  if (!picture.empty()) return picture;
  if (check.refused && check.width > 0 && check.height > 0 && !PictureSizeAllowed(check.width, check.height)) {
    error = ComposeMessage(Message::kPictureTooLarge,
                          {name, std::to_string(check.width), std::to_string(check.height),
                           std::to_string(kMaxPictureSide),
                           std::to_string(kMaxPicturePixels / 1000000)});
  } else {
    error = ComposeMessage(Message::kNotAPicture, {name});
  }
  return picture;
}

std::vector<std::string> PictureFilePatterns() {
  std::vector<std::string> extensions = SystemPictureExtensions();
  extensions.push_back("gif");
  GSList* formats = gdk_pixbuf_get_formats();
  for (GSList* item = formats; item != nullptr; item = item->next) {
    auto* format = static_cast<GdkPixbufFormat*>(item->data);
    gchar* name = gdk_pixbuf_format_get_name(format);
    const bool skipped = gdk_pixbuf_format_is_disabled(format) || std::string_view(name) == "ani";
    g_free(name);
    if (skipped) continue;
    gchar** format_extensions = gdk_pixbuf_format_get_extensions(format);
    for (gchar** extension = format_extensions; *extension != nullptr; ++extension) {
      extensions.emplace_back(*extension);
    }
    g_strfreev(format_extensions);
  }
  g_slist_free(formats);
  std::sort(extensions.begin(), extensions.end());
  extensions.erase(std::unique(extensions.begin(), extensions.end()), extensions.end());
  std::vector<std::string> patterns;
  for (const std::string& extension : extensions) patterns.push_back("*." + extension);
  return patterns;
}

std::string ShownFileName(const std::string& path) {
  const size_t last = path.find_last_of(kPathSeparators);
  return last == std::string::npos ? path : path.substr(last + 1);
}

}  // namespace zielwerk
