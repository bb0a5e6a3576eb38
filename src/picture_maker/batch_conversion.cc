// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_maker/batch_conversion.h"

#include <gio/gio.h>
#include <glib.h>

#include <set>
#include <string>

#include "core/file/file_access.h"
#include "core/messages/messages.h"
#include "core/picture/text_picture.h"
#include "picture_maker/picture_file.h"

namespace zielwerk {
namespace {

constexpr const char* kProgram = "zielwerk-bildwandler: ";

// What tells files apart on the system (device and inode, volume and file
// index), or "" for a file that is not there.
std::string FileIdentity(const std::string& path) {
  GFile* file = g_file_new_for_path(path.c_str());
  GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_ID_FILE, G_FILE_QUERY_INFO_NONE,
                                      nullptr, nullptr);
  std::string identity;
  if (info != nullptr) {
    if (const char* id = g_file_info_get_attribute_string(info, G_FILE_ATTRIBUTE_ID_FILE)) identity = id;
    g_object_unref(info);
  }
  g_object_unref(file);
  return identity;
}

}  // namespace

GreyPicture ScaledSource(const ConversionRequest& request, const std::string& input, std::string& error) {
  error.clear();
  if (request.text) {
    GreyPicture text = SetTextAsPicture(*request.text, request.font, request.fit);
    if (text.width == 0) error = ComposeMessage(Message::kBatchTextEmpty, {Quoted(*request.text)});
    return text;
  }
  const SourcePicture source = SourcePicture::Load(input, error);
  return source.empty() ? GreyPicture{} : ScaleToFit(source.view(), request.fit);
}

int RunBatchConversion(const ConversionRequest& request, std::ostream& out, std::ostream& problems) {
  const std::string& output = *request.output;
  const bool into_folder = g_file_test(output.c_str(), G_FILE_TEST_IS_DIR);
  if (!into_folder && request.inputs.size() > 1) {
    problems << kProgram << ComposeMessage(Message::kBatchNotAFolder, {Quoted(output)}) << "\n";
    return 2;
  }
  std::vector<std::string> inputs = request.inputs;
  if (request.text) inputs = {""};

  std::set<std::string> inputs_seen;
  for (const std::string& input : inputs) {
    if (const std::string identity = FileIdentity(input); !identity.empty()) inputs_seen.insert(identity);
  }
  std::set<std::string> saved;
  int status = 0;
  for (const std::string& input : inputs) {
    const std::string target = into_folder ? OutputInFolder(output, input, kPathSeparators) : output;
    const std::string identity = FileIdentity(target);
    if (!identity.empty() && inputs_seen.contains(identity)) {
      problems << kProgram << ComposeMessage(Message::kBatchTargetIsInput, {Quoted(target)}) << "\n";
      status = 1;
      continue;
    }
    if (!identity.empty() && saved.contains(identity)) {
      problems << kProgram
               << ComposeMessage(Message::kBatchTargetMadeBefore, {Quoted(target), Quoted(input)})
               << "\n";
      status = 1;
      continue;
    }
    std::string error;
    const GreyPicture scaled = ScaledSource(request, input, error);
    if (!error.empty()) {
      problems << kProgram << error << "\n";
      status = 1;
      continue;
    }
    const SaveResult result = SaveDisplayPicture(target, MakeDisplayDots(scaled, request.dots));
    if (!result.ok) {
      problems << kProgram
               << ComposeMessage(Message::kBatchCannotSave, {Quoted(target), SaveFailureReason(result)})
               << "\n";
      status = 1;
      continue;
    }
    // Known by what the system tells files apart by, so that IMG.bmp and
    // img.bmp count as one on Windows.
    saved.insert(FileIdentity(target));
    out << ComposeMessage(Message::kBatchSaved, {target}) << "\n";
    // A note, not a failure: the text is saved as the fit asked, and a
    // script that fills the height on purpose goes on.
    const ScaledSize shown =
        ShownSize(scaled.width, scaled.height, request.dots.offset_x, request.dots.offset_y);
    if (request.text && (shown.width < scaled.width || shown.height < scaled.height)) {
      problems << kProgram
               << ComposeMessage(Message::kBatchTextCut,
                                 {Quoted(*request.text), std::to_string(scaled.width),
                                  std::to_string(scaled.height), std::to_string(shown.width),
                                  std::to_string(shown.height)})
               << "\n";
    }
  }
  return status;
}

}  // namespace zielwerk
