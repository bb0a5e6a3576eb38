// SPDX-License-Identifier: GPL-3.0-or-later
// How a fuzz target reports a broken promise: it names the promise and aborts,
// so that libFuzzer keeps the input as a crash and the run fails. The promise
// checks themselves (the *_promises.h headers) return the broken promise or
// nullptr, so that the regression test in tests/core can run them too.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace zielwerk::fuzzing {

inline void AbortOnBrokenPromise(const char* broken_promise) {
  if (broken_promise == nullptr) return;
  std::fprintf(stderr, "broken promise: %s\n", broken_promise);
  std::abort();
}

}  // namespace zielwerk::fuzzing
