// The modal file chooser of the file commands and the picture command.
#pragma once

#include <functional>
#include <string>

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

// For tests: answers every request with `answer(request)` instead of showing
// the chooser. An empty function restores the chooser.
void SetFileRequesterForTesting(std::function<std::string(const FileRequest&)> answer);

}  // namespace zielwerk
