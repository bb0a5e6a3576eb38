// SPDX-License-Identifier: GPL-3.0-or-later
// Answering the program's modal message boxes in window tests, as a user
// clicking OK would, and recording what each box said.
#pragma once

#include <gtkmm/enums.h>
#include <sigc++/connection.h>

#include <string>
#include <vector>

namespace zielwerk::testing {

struct ShownBox {
  std::string title;
  std::string text;
  Gtk::MessageType type;
  bool modal;
  // Pixels of the box's pictures (beside its buttons) that stand out from its
  // background as the box was drawn on the screen: 0 for a box without one,
  // -1 when the pictures were not read.
  int picture_pixels;
};

// Whether the answerer reads the pictures a box shows: it then waits until
// the box has been drawn, a frame or more later.
enum class BoxPictures { kIgnore, kRead };

// While it lives, every message box that becomes visible is recorded and
// answered with OK within a few milliseconds.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(BoxPictures pictures = BoxPictures::kIgnore);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  const std::vector<ShownBox>& boxes() const { return boxes_; }
  int count() const { return static_cast<int>(boxes_.size()); }
  // Title and text of the last box shown ("" before any).
  std::string title() const { return boxes_.empty() ? "" : boxes_.back().title; }
  std::string text() const { return boxes_.empty() ? "" : boxes_.back().text; }
  void Clear() { boxes_.clear(); }

 private:
  sigc::connection connection_;
  std::vector<ShownBox> boxes_;
};

}  // namespace zielwerk::testing
