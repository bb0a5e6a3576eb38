// SPDX-License-Identifier: GPL-3.0-or-later
// Reading files on Linux: a FIFO neither blocks the reader nor counts as a
// file.
#include <sys/stat.h>

#include <string>

#include "core/file/file_access.h"
#include "core/picture/picture_reader.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

TEST(FileAccessPosixTest, FifoIsRefusedWithoutWaitingForAWriter) {
  testing::TempDir dir;
  const std::string fifo = dir.File("fifo.png");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string bytes;
  EXPECT_EQ(ReadWholeFile(fifo, bytes, FileReadRules{true, kMaxPictureFileBytes}),
            FileReadOutcome::kUnreadable);
  EXPECT_FALSE(ReadPictureFile(fifo).has_value());
}

}  // namespace
}  // namespace zielwerk
