// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file's content so that a crash or a full disk never leaves it
// half written: by rename on Linux (safe_save_posix.cc), by MoveFileExW on
// Windows (safe_save_win32.cc).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "messages/messages.h"

namespace zielwerk {

struct SaveResult {
  bool ok = false;
  int error_number = 0;     // errno (Windows: GetLastError()) of the failing call, 0 on success
  std::string failed_call;  // name of the failing call, empty on success
};

// Writes `bytes` as the new content of `path`. The bytes go to an unnamed
// temporary file in the target's folder, are flushed to disk, and only then
// take the target's place by rename, so the old content stays complete until
// the new one is. The old file's permission bits are kept; a symbolic link
// keeps pointing where it did and its final target is replaced. A file the
// caller may not write is left alone. When the folder allows no new file but
// the file itself is writable, the file is rewritten in place instead, after
// claiming the space a longer content needs. Never throws; on failure nothing
// at the target has changed (except when the in-place rewrite itself fails
// half-way) and no temporary file remains.
//
// On Windows the path is UTF-8; the copy is flushed (FlushFileBuffers) and
// takes the target's place with MoveFileExW(MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH). A read-only file is left alone; a file that another
// program holds open without letting it be replaced is rewritten in place, as
// above, when that program lets it be written.
SaveResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// The failed_call of a save refused because the file was not read as text
// first (error_number 0): its content would be lost.
inline constexpr std::string_view kNotReadCall = "read";

// Why a save failed, in German words a user understands ("keine
// Schreibberechtigung", "kein Platz mehr auf dem Datenträger"); for a rarer
// failure the error number and the failing call. Empty for a success.
std::string SaveFailureReason(const SaveResult& result);

// The German words for a failure's error number (errno on Linux,
// GetLastError() on Windows), or nullopt for one without them; for
// SaveFailureReason.
std::optional<Message> KnownSaveFailure(int error_number);

// For tests: called after the temporary file is complete and flushed, just
// before it takes the target's place. Pass an empty function to remove it.
void SetBeforeReplaceHookForTesting(std::function<void()> hook);
// Runs that hook, if one is set; for the two halves of WriteFileAtomically.
void RunBeforeReplaceHook();

}  // namespace zielwerk
