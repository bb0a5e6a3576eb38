// SPDX-License-Identifier: GPL-3.0-or-later
// Reading whole files, and the working folder: the program's one way from a
// path to a file's bytes. Paths are UTF-8 on both systems; on Windows
// file_access_win32.cc hands them to the wide-character calls, since the
// narrow ones would read them in the ANSI code page and miss every umlaut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zielwerk {

// The characters that separate the parts of a path: "/" on Linux, "/" and
// "\\" on Windows.
extern const std::string_view kPathSeparators;

enum class FileReadOutcome {
  kRead,
  kMissing,     // the file or a folder on its path does not exist
  kUnreadable,  // it exists but cannot be read, or the rules refuse it
  kTooLarge,    // a regular file larger than the rules' max_bytes
};

struct FileReadRules {
  // Refuse folders, devices and pipes; a pipe is opened without waiting for a
  // writer. The file is read up to the size it had when it was opened.
  bool regular_file_only = false;
  // Refuse a file larger than this (checked before reading when
  // regular_file_only is set, else while reading).
  size_t max_bytes = SIZE_MAX;
};

// Replaces `bytes` with the whole content of the file at `path`. On any
// outcome but kRead, `bytes` is left empty.
FileReadOutcome ReadWholeFile(const std::string& path, std::string& bytes,
                              const FileReadRules& rules = {});

// Whether `path` names a regular file (following links).
bool IsRegularFile(const std::string& path);

// The process's working folder as UTF-8 with a trailing separator ("/" on
// Linux, "\" on Windows); "./" when it cannot be found out.
std::string WorkingFolder();

}  // namespace zielwerk
