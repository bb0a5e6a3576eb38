// SPDX-License-Identifier: GPL-3.0-or-later
// Every input that ever made a fuzz target fail, kept under
// tests/data/regressions/<target>/, runs through that target's promises again.
// The promises are the fuzz targets' own (fuzz/*_promises.h), so a fixed fault
// stays fixed in the ordinary and the sanitizer test runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "../../fuzz/ini_promises.h"
#include "../../fuzz/link_promises.h"
#include "../../fuzz/picture_promises.h"
#include "../../fuzz/preview_promises.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using Promises = std::function<const char*(std::string_view)>;

// The fuzz target of each folder under tests/data/regressions.
const std::map<std::string, Promises>& PromisesByTarget() {
  using namespace fuzzing;
  static const std::map<std::string, Promises> targets = {
      {"ini_document", BrokenIniPromise},
      {"bmp_reader", [](std::string_view b) { return BrokenPicturePromise(DecodeBmp(b)); }},
      {"jpeg_reader", [](std::string_view b) { return BrokenPicturePromise(DecodeJpeg(b)); }},
      {"png_reader", [](std::string_view b) { return BrokenPicturePromise(DecodePng(b)); }},
      {"gif_reader", [](std::string_view b) { return BrokenPicturePromise(DecodeGif(b)); }},
      {"picture_reader", BrokenDecodePicturePromise},
      {"reply_decoding", BrokenReplyPromise},
      {"command_description", BrokenDescriptionPromise},
      {"preview_tick", BrokenPreviewPromise},
  };
  return targets;
}

// One test over all kept inputs, so that a newly kept file runs without the
// test list being discovered again.
TEST(FuzzRegressionTest, EveryKeptInputKeepsItsTargetsPromises) {
  const std::filesystem::path root = testing::TestDataPath("regressions");
  int inputs = 0;
  for (const auto& target : std::filesystem::directory_iterator(root)) {
    const std::string name = target.path().filename().string();
    const auto promises = PromisesByTarget().find(name);
    if (promises == PromisesByTarget().end()) {
      ADD_FAILURE() << "no fuzz target is named " << name;
      continue;
    }
    for (const auto& file : std::filesystem::directory_iterator(target.path())) {
      SCOPED_TRACE(file.path().string());
      const char* broken = promises->second(testing::ReadFileBytes(file.path().string()));
      EXPECT_EQ(broken, nullptr) << "broken promise: " << broken;
      ++inputs;
    }
  }
  EXPECT_GT(inputs, 0) << "no kept input found under " << root;
}

}  // namespace
}  // namespace zielwerk
