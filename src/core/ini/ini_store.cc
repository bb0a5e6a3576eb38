// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini/ini_store.h"

#include <optional>
#include <utility>
#include <vector>

#include "file/file_access.h"
#include "ini/ini_document.h"
#include "ini/safe_save.h"

namespace zielwerk {
namespace {

struct OpenFile {
  std::string path;
  IniDocument document;
  bool writable = true;  // false when the file exists but could not be read
  bool is_text = true;   // false when its bytes are not text (ParseIniBytes)
  IniWriteBack write_back = IniWriteBack::kGuarded;
  bool changed = false;
};

std::optional<OpenFile>& Store() {
  static std::optional<OpenFile> store;
  return store;
}

}  // namespace

bool OpenIni(const std::string& path, IniWriteBack write_back) {
  CloseIni();
  std::string bytes;
  const FileReadOutcome outcome = ReadWholeFile(path, bytes);
  OpenFile file;
  file.path = path;
  file.writable = outcome != FileReadOutcome::kUnreadable;
  file.write_back = write_back;
  if (outcome == FileReadOutcome::kRead) {
    std::optional<std::vector<IniEntry>> entries = ParseIniBytes(bytes);
    file.is_text = entries.has_value();
    if (entries) file.document = IniDocument(std::move(*entries));
  }
  Store() = std::move(file);
  return outcome == FileReadOutcome::kRead;
}

bool IniFileIsText() { return !Store() || Store()->is_text; }

bool HasIniKey(std::string_view key) {
  return Store() && Store()->document.ReadText(key).has_value();
}

int64_t ReadIniInteger(std::string_view key, int64_t fallback) {
  if (!Store()) return fallback;
  const std::optional<std::string> text = Store()->document.ReadText(key);
  return text ? ParseIniInteger(*text) : fallback;
}

std::string ReadIniText(std::string_view key, std::string_view fallback) {
  if (!Store()) return std::string(fallback);
  return Store()->document.ReadText(key).value_or(std::string(fallback));
}

std::string ReadIniFileName(std::string_view key, std::string_view fallback) {
  if (!Store()) return std::string(fallback);
  return Store()->document.ReadFileName(key).value_or(std::string(fallback));
}

void WriteIniInteger(std::string_view key, int64_t value) {
  WriteIniText(key, std::to_string(value));
}

void WriteIniText(std::string_view key, std::string_view value) {
  if (!Store()) return;
  Store()->document.WriteText(key, value);
  Store()->changed = true;
}

SaveResult CloseIni() {
  std::optional<OpenFile>& store = Store();
  SaveResult result{true, 0, {}};
  if (!store) return result;
  if (store->changed) {
    const bool allowed =
        store->writable && (store->is_text || store->write_back == IniWriteBack::kExplicitSave);
    result = allowed ? WriteFileAtomically(store->path, SerializeIni(store->document.entries()))
                     : SaveResult{false, 0, std::string(kNotReadCall)};
  }
  store.reset();
  return result;
}

}  // namespace zielwerk
