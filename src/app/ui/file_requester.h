// SPDX-License-Identifier: GPL-3.0-or-later
// The modal file chooser of the file commands and the picture command.
#pragma once

#include <gtkmm/filefilter.h>

#include <functional>
#include <string>
#include <vector>

namespace zielwerk {

enum class FileRequestKind { kOpen, kSave };

struct FileRequest {
  FileRequestKind kind;
  std::string title;
  std::string start_folder;  // with a trailing separator (WorkingFolder())
  std::string filter_text;   // "Name | pattern;pattern | ..."
};

// Shows a modal chooser over the main window and returns the full path of
// the chosen file, or "" when the user cancels or closes it. The save kind
// starts with an empty name and does not ask before an existing file.
std::string FileRequester(const FileRequest& request);

// The chooser's filters for `filter_text` ("Name | pattern;pattern | ...",
// read by ParseFilterText), in its order; each pattern matches file names in
// either letter case, as a picture named IMG_0815.JPG must be found by
// "*.jpg".
std::vector<Glib::RefPtr<Gtk::FileFilter>> FileFilters(const std::string& filter_text);

// For tests: answers every request with `answer(request)` instead of showing
// the chooser. An empty function restores the chooser.
void SetFileRequesterForTesting(std::function<std::string(const FileRequest&)> answer);

}  // namespace zielwerk
