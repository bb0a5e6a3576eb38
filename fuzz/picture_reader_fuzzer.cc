// SPDX-License-Identifier: GPL-3.0-or-later
// DecodePicture over arbitrary bytes. Besides the
// sanitizers' findings, a broken promise of picture_promises.h is a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "picture_promises.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zielwerk::fuzzing;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  AbortOnBrokenPromise(BrokenDecodePicturePromise(bytes));
  return 0;
}
