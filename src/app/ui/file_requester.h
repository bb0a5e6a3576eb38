// SPDX-License-Identifier: GPL-3.0-or-later
// The modal file chooser of the file commands and the picture command.
#pragma once

#include <gtkmm/filechooser.h>
#include <gtkmm/filefilter.h>
#include <gtkmm/window.h>

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
  std::string current_name = {};  // the save kind's suggested name
};

// Shows the system's own file chooser, modal over `parent`: GTK's on Linux
// (file_chooser_posix.cc), Windows' own dialog on Windows
// (file_chooser_win32.cc), with the places the user has there. Returns the
// full path of the chosen file, or "" when the user cancels. The save kind
// does not ask before an existing file.
std::string ChooseFile(Gtk::Window& parent, const FileRequest& request);

// Gives `chooser` what both systems' choosers take from `request`: one file,
// no question before an existing one, the start folder, the suggested name of
// the save kind, and the filters, the first one chosen.
void PrepareChooser(Gtk::FileChooser& chooser, const FileRequest& request);

// A pattern of a filter text as the chooser matches it: GTK's matches letter
// case exactly, so "*.ini" becomes "*.[iI][nN][iI]"; Windows' dialog matches
// without regard to case and knows no brackets, so it keeps "*.ini".
std::string ChooserPattern(const std::string& pattern);

// ChooseFile over the main window.
std::string FileRequester(const FileRequest& request);

// The chooser's filters for `filter_text` ("Name | pattern;pattern | ...",
// read by ParseFilterText), in its order; each pattern matches file names in
// either letter case (ChooserPattern), as a picture named IMG_0815.JPG must be
// found by "*.jpg".
std::vector<Glib::RefPtr<Gtk::FileFilter>> FileFilters(const std::string& filter_text);

// For tests: answers every request with `answer(request)` instead of showing
// the chooser. An empty function restores the chooser.
void SetFileRequesterForTesting(std::function<std::string(const FileRequest&)> answer);

}  // namespace zielwerk
