// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one INI reader and writer. One file at a time is open; each
// user opens, reads or writes a few keys, and closes within one operation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ini/safe_save.h"

namespace zielwerk {

// Who may have the open file written back.
enum class IniWriteBack {
  // Any writer but the user's own save (the shut-down, the picture command):
  // a file read as not text is left as it stands.
  kGuarded,
  // "Speichern", "Speichern als...": the user asked for the file to be
  // written, so it is, whatever it held.
  kExplicitSave,
};

// Closes any open file (writing it back if a key was written), then reads
// the file at `path`. Returns whether the file could be read. A missing file
// gives an empty entry list; the path is kept so that closing can create it.
// A file that exists but cannot be read is never written back, so that its
// content is not replaced by the few keys written since; nor, unless
// `write_back` is kExplicitSave, is a file read as not text.
bool OpenIni(const std::string& path, IniWriteBack write_back = IniWriteBack::kGuarded);

// Whether the open file was read as text (see ParseIniBytes). A file that is
// not text reads as empty, every key giving its fallback, and is written
// back only when it was opened for an explicit save. True when no file is
// open and for a missing or unreadable file.
bool IniFileIsText();

// Whether the open file has a line for the key.
bool HasIniKey(std::string_view key);

// The integer that the key's value begins with (0 when it begins with no
// number), or `fallback` when the key has no line or no file is open.
int64_t ReadIniInteger(std::string_view key, int64_t fallback);

// The key's value without outer blanks and tabs, or `fallback` when the key
// has no line or no file is open. An empty value gives the empty text. A
// value that is not valid UTF-8 is read as ISO 8859-1, so the text is always
// valid UTF-8 (the fallback is returned as given).
std::string ReadIniText(std::string_view key, std::string_view fallback);

// The key's value with its bytes as they stand in the file (outer blanks and
// tabs trimmed), or `fallback`: for a file name, which on Linux need not be
// UTF-8 and must open the file the program named when it wrote the key.
// ReadIniText gives the same value decoded for showing.
std::string ReadIniFileName(std::string_view key, std::string_view fallback);

// Store the value under the key (decimal for integers). Nothing happens when
// no file is open.
void WriteIniInteger(std::string_view key, int64_t value);
void WriteIniText(std::string_view key, std::string_view value);

// Writes the file back when a key was written since OpenIni (safely: see
// WriteFileAtomically), then forgets it. ok unless a write-back was due and
// failed, or was refused because the file could not be read or, without an
// explicit save, was not text (then failed_call is kNotReadCall).
SaveResult CloseIni();

}  // namespace zielwerk
