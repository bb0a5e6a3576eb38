// SPDX-License-Identifier: GPL-3.0-or-later
// What the INI parser and writer promise for any bytes read from a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini/ini_document.h"
#include "core/settings/settings_keys.h"
#include "core/text/utf8.h"

namespace zielwerk::fuzzing {

// A file is only rewritten after a key was written, so what must hold is on
// the document level: the serialised entries parse back to the same entries,
// and serialising those gives the same bytes. Keys read and write back as the
// store does it. Returns the first broken promise, nullptr when all hold.
inline const char* BrokenIniPromise(std::string_view bytes) {
  const std::vector<IniEntry> entries = ParseIniBytes(bytes).value_or(std::vector<IniEntry>());
  const std::string serialised = SerializeIni(entries);
  if (!serialised.starts_with("\xEF\xBB\xBF" + std::string(kIniLineEnd))) {
    return "a saved file begins with mark and empty line";
  }
  const std::optional<std::vector<IniEntry>> reparsed = ParseIniBytes(serialised);
  if (reparsed != entries) return "serialised entries parse back to the same entries";
  if (SerializeIni(*reparsed) != serialised) return "serialising again gives the same bytes";
  if (!bytes.starts_with("\xEF\xBB\xBF") && !IsValidUtf8(serialised)) {
    return "a file without mark is saved as valid UTF-8";
  }

  // Every key rewritten with the value read: no line is added, the value reads back.
  IniDocument document(entries);
  for (const IniEntry& entry : entries) {
    if (entry.kind == IniEntry::Kind::kGroup) break;
    if (entry.kind != IniEntry::Kind::kKey) continue;
    const std::optional<std::string> text = document.ReadText(entry.text);
    if (!text) return "a key before the first group is found";
    if (!IsValidUtf8(*text)) return "a value is read as valid UTF-8";
    ParseIniInteger(*text);
    document.WriteText(entry.text, *text);
    if (document.ReadText(entry.text) != text) return "a rewritten value reads back";
  }
  if (document.entries().size() != entries.size()) return "rewriting keys adds no line";

  // A settings key written with any value (here a piece of the input) reads
  // back from the saved bytes as that value, line breaks and NUL flattened
  // and outer blanks trimmed: as a file name byte for byte, as text decoded.
  const std::string_view key = kSettingKeys[bytes.size() % kSettingKeys.size()].key;
  const std::string_view value = bytes.substr(0, 64);
  document.WriteText(key, value);
  std::string expected(value);
  for (char& c : expected) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  expected.erase(0, expected.find_first_not_of(" \t"));
  expected.erase(expected.find_last_not_of(" \t") + 1);
  const IniDocument saved(
      ParseIniBytes(SerializeIni(document.entries())).value_or(std::vector<IniEntry>()));
  if (saved.ReadFileName(key) != expected) return "a written settings key reads back from the file";
  if (saved.ReadText(key) != Utf8OrLatin1(expected)) return "a written value reads back as text";
  return nullptr;
}

}  // namespace zielwerk::fuzzing
