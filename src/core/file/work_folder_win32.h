// SPDX-License-Identifier: GPL-3.0-or-later
// What EnterWorkFolder does on Windows, open to the Windows suites, and where
// the program file lies. Only *_win32.cc files include this header.
#pragma once

#include <string>

namespace zielwerk {

// Copies into folder `target` every file of folder `source` that `target`
// lacks, and so on into the subfolders, making those that are missing. A file
// already in `target` is never touched. Each copy is made under a temporary
// name, written through to the disk and renamed without replacing, so an
// interrupted copy never leaves a truncated file that later starts would keep;
// a copy is writable even when its source is read-only. A file that cannot be
// copied is left out; the program copes with missing data files.
void AddMissingFiles(const std::wstring& source, const std::wstring& target);

// The full path of the running program file; empty when Windows does not say.
std::wstring ProgramFilePath();

}  // namespace zielwerk
