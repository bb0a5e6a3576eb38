#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Zielwerk and runs every check, headless under Xvfb, in four parts:
#   1. the normal build (build/) and all test suites;
#   2. the same with AddressSanitizer, UndefinedBehaviorSanitizer and
#      LeakSanitizer (build-asan/): any sanitizer report fails;
#   3. every fuzz target for FUZZ_SECONDS (default 60) each, FUZZ_JOBS (default
#      2) at a time (build-fuzz/, clang + libFuzzer): any crash, leak, timeout
#      (10 s), sanitizer report, or single allocation over 512 MB (twice the
#      largest picture a reader accepts) fails;
#   4. the Windows program: the MinGW-w64 GTK stack (built once into
#      /var/cache/zielwerk-mingw and reused), the zip and the installer
#      (scripts/build-windows.sh, dist/), the core suites, the serial line, the
#      program and the package under Wine (scripts/windows/test-windows.sh).
# Ends with one summary line "N passed, M failed, K skipped" and exits non-zero when any
# part failed.
#
#   ./scripts/test.sh           everything (CI runs this)
#   ./scripts/test.sh --quick   the normal build and suites only; ends with CTest's summary
set -euo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$PWD

quick=0
case "${1:-}" in
  "") ;;
  --quick) quick=1 ;;
  *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac

jobs=${ZIELWERK_JOBS:-$(nproc)}
fuzz_seconds=${FUZZ_SECONDS:-60}
fuzz_jobs=${FUZZ_JOBS:-2}
# -noreset: the server keeps running between the window suites, which end
# while their accessibility bus may still be letting go of its connection.
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset")

summary=()
total_passed=0
total_failed=0
total_skipped=0

now() { date +%s; }
took() { local s=$(( $(now) - $1 )); printf '%dm%02ds' $((s / 60)) $((s % 60)); }
section() { printf '\n==== %s ====\n' "$1"; }

# Cases that may skip on a machine that runs these suites: none. A case
# skipped anyway (a simulator not built, a system that answers otherwise
# than the case needs) fails the run.
# shellcheck disable=SC2034  # read by ctest_counts
expected_skips=()
# shellcheck source=tests/support/ctest_counts.sh
. "$root/tests/support/ctest_counts.sh"

# Adds the passed, failed and skipped cases of a CTest log to the totals.
count_ctest() {
  ctest_counts "$1"
  total_passed=$((total_passed + ctest_passed))
  total_failed=$((total_failed + ctest_failed))
  total_skipped=$((total_skipped + ctest_skipped))
}

# ---- 1. normal build and suites ---------------------------------------------
section "build and tests (build/)"
start=$(now)
if ! ./scripts/build.sh; then
  echo "The build failed." >&2
  echo "0 passed, 1 failed, 0 skipped"
  exit 1
fi
if [ "$quick" = 1 ]; then
  "${xvfb[@]}" ctest --test-dir build --output-on-failure -j"$jobs"
  exit $?
fi
"${xvfb[@]}" ctest --test-dir build --output-on-failure -j"$jobs" 2>&1 | tee build/ctest.log || true
count_ctest build/ctest.log
summary+=("tests (build/):                 $ctest_passed passed, $ctest_failed failed, $ctest_skipped skipped   $(took "$start")")

# ---- 2. sanitizer build and suites ------------------------------------------
section "sanitizer build and tests (build-asan/)"
start=$(now)
reports=$root/build-asan/sanitizer-reports
if cmake -S . -B build-asan -DZIELWERK_SANITIZE=ON >/dev/null && cmake --build build-asan -j"$jobs"; then
  rm -rf "$reports" && mkdir -p "$reports"
  # Reports go to files as well as failing the test, so that one raised in a
  # child process (the program, the display simulator) is not lost. GLib's
  # slice allocator would hide its blocks from LeakSanitizer. GLib and GTK
  # have no frame pointers: only the slow unwinder gets past them to the
  # frames that name a leak's origin (and that the suppressions match).
  G_SLICE=always-malloc G_DEBUG=gc-friendly \
  ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:malloc_context_size=12:log_path=$reports/asan" \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan" \
    "${xvfb[@]}" ctest --test-dir build-asan --output-on-failure -j"$jobs" 2>&1 | tee build-asan/ctest.log || true
  count_ctest build-asan/ctest.log
  report_files=$(find "$reports" -type f | wc -l)
  if [ "$report_files" -gt 0 ]; then
    echo "Sanitizer reports ($report_files):"
    for f in "$reports"/*; do
      echo "--- $f"
      head -n 60 "$f"
    done
    ctest_failed=$((ctest_failed + report_files))
    total_failed=$((total_failed + report_files))
  fi
  summary+=("sanitizer tests (build-asan/):  $ctest_passed passed, $ctest_failed failed, $ctest_skipped skipped   $(took "$start")")
else
  total_failed=$((total_failed + 1))
  summary+=("sanitizer tests (build-asan/):  build failed   $(took "$start")")
fi

# ---- 3. fuzzing --------------------------------------------------------------
# The picture readers start from the readers' test pictures of their format,
# the reader by content from all of them (names in tests/data/picture/, to be
# expanded there); the other targets from fuzz/corpus/<target>/.
picture_seeds() {
  local bmp=(bmp*.bmp train.bmp) gif=(gif*.gif train.gif) jpeg=(jpeg_*.jpg train.jpg)
  local png=(png_1x2000000.png png_grey*.png png_interlaced.png png_palette_trns.png png_rgb*.png train.png)
  case $1 in
    bmp_reader) printf '%s\n' "${bmp[@]}" ;;
    gif_reader) printf '%s\n' "${gif[@]}" ;;
    jpeg_reader) printf '%s\n' "${jpeg[@]}" ;;
    png_reader) printf '%s\n' "${png[@]}" ;;
    picture_reader) printf '%s\n' "${bmp[@]}" "${gif[@]}" "${jpeg[@]}" "${png[@]}" ;;
  esac
}
section "fuzzing, ${fuzz_seconds} s per target (build-fuzz/)"
start=$(now)
work=$root/build-fuzz/fuzz-runs
fuzz_passed=0
fuzz_failed=0
if cmake -S . -B build-fuzz -DZIELWERK_FUZZ=ON -DZIELWERK_BUILD_TESTS=OFF \
     -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
   cmake --build build-fuzz --target zielwerk_fuzzers -j"$jobs"; then
  rm -rf "$work/logs" "$work/artifacts"
  mkdir -p "$work/logs"
  targets=()
  for source in fuzz/*_fuzzer.cc; do
    name=$(basename "$source" _fuzzer.cc)
    targets+=("$name")
    mkdir -p "$work/corpus/$name" "$work/artifacts/$name"
    seeds=()
    [ -d "fuzz/corpus/$name" ] && seeds+=("fuzz/corpus/$name")
    rm -rf "$work/seeds/$name"
    mkdir -p "$work/seeds/$name"
    (cd tests/data/picture && picture_seeds "$name" | xargs -r cp -t "$work/seeds/$name")
    [ -n "$(ls -A "$work/seeds/$name")" ] && seeds+=("$work/seeds/$name")
    [ -d "tests/data/regressions/$name" ] && seeds+=("tests/data/regressions/$name")
    while [ "$(jobs -rp | wc -l)" -ge "$fuzz_jobs" ]; do wait -n; done
    # New inputs go to the working corpus in build-fuzz/ (the first folder);
    # the committed seeds are only read.
    (
      UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "build-fuzz/fuzz/${name}_fuzzer" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 \
        -timeout=10 -print_final_stats=1 -artifact_prefix="$work/artifacts/$name/" \
        "$work/corpus/$name" "${seeds[@]}" >"$work/logs/$name.log" 2>&1
      echo $? >"$work/logs/$name.rc"
    ) &
  done
  wait
  for name in "${targets[@]}"; do
    rc=$(cat "$work/logs/$name.rc" 2>/dev/null || echo 1)
    runs=$(grep -Eo 'stat::number_of_executed_units: [0-9]+' "$work/logs/$name.log" | grep -Eo '[0-9]+$') || true
    if [ "$rc" = 0 ]; then
      fuzz_passed=$((fuzz_passed + 1))
      printf '%-22s ok, %s runs\n' "$name" "${runs:-?}"
    else
      fuzz_failed=$((fuzz_failed + 1))
      printf '%-22s FAILED (exit %s), log %s\n' "$name" "$rc" "$work/logs/$name.log"
      grep -E -A40 '==ERROR|broken promise|ERROR: libFuzzer' "$work/logs/$name.log" | head -n 60 || true
      for artifact in "$work/artifacts/$name"/*; do
        [ -e "$artifact" ] || continue
        echo "  input: $artifact"
        echo "  keep it as a regression: cp '$artifact' tests/data/regressions/$name/<what-it-shows>"
      done
    fi
  done
else
  fuzz_failed=1
fi
total_passed=$((total_passed + fuzz_passed))
total_failed=$((total_failed + fuzz_failed))
summary+=("fuzz targets (build-fuzz/):     $fuzz_passed passed, $fuzz_failed failed   $(took "$start")")

# ---- 4. Windows build under Wine --------------------------------------------
section "Windows build, package and tests under Wine (build-win/, dist/)"
start=$(now)
mkdir -p build-win
windows_log=$root/build-win/test-windows.log
./scripts/windows/test-windows.sh 2>&1 | tee "$windows_log" || true
line=$(grep -E '^windows: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' "$windows_log" | tail -n 1) || true
if [ -n "$line" ]; then
  windows_passed=$(sed -E 's/^windows: ([0-9]+) passed.*/\1/' <<<"$line")
  windows_failed=$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")
  windows_skipped=$(sed -E 's/.* ([0-9]+) skipped.*/\1/' <<<"$line")
  summary+=("Windows under Wine (build-win/): $windows_passed passed, $windows_failed failed, $windows_skipped skipped   $(took "$start")")
else
  windows_passed=0
  windows_failed=1
  windows_skipped=0
  summary+=("Windows under Wine (build-win/): stopped before its checks   $(took "$start")")
fi
total_passed=$((total_passed + windows_passed))
total_failed=$((total_failed + windows_failed))
total_skipped=$((total_skipped + windows_skipped))

section "summary"
printf '%s\n' "${summary[@]}"
echo "$total_passed passed, $total_failed failed, $total_skipped skipped"
[ "$total_failed" -eq 0 ]
