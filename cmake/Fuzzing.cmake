# SPDX-License-Identifier: GPL-3.0-or-later
# libFuzzer targets for the code that reads outside input: the INI parser, the
# picture readers, the reply decoding, the simulator's description of a
# command line and the preview tick. Built only with ZIELWERK_FUZZ=ON and clang, in a build folder of
# their own (scripts/test.sh uses build-fuzz):
#
#   cmake -S . -B build-fuzz -DZIELWERK_FUZZ=ON -DZIELWERK_BUILD_TESTS=OFF \
#         -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
#   cmake --build build-fuzz --target zielwerk_fuzzers
#
# Every fuzz/<name>_fuzzer.cc becomes build-fuzz/fuzz/<name>_fuzzer; its seeds
# are in fuzz/corpus/<name>/, or for the picture readers the test pictures of
# tests/data/picture/ that scripts/test.sh picks.
option(ZIELWERK_FUZZ "Build the libFuzzer targets under fuzz/ (needs clang++)" OFF)

if(ZIELWERK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ZIELWERK_FUZZ needs clang: configure a fresh build folder with "
                        "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
  endif()

  set(zielwerk_fuzz_sanitizers
      -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  # The core gets the coverage instrumentation the fuzzer steers by, without
  # libFuzzer's main; the sanitizer runtime comes with every program linking it.
  foreach(library IN ITEMS zielwerk_core zielwerk_simulator)
    target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link ${zielwerk_fuzz_sanitizers})
    target_link_options(${library} INTERFACE -fsanitize=address,undefined)
  endforeach()

  add_custom_target(zielwerk_fuzzers)
  file(GLOB zielwerk_fuzz_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/fuzz/*_fuzzer.cc")
  foreach(fuzz_source IN LISTS zielwerk_fuzz_sources)
    get_filename_component(fuzz_name "${fuzz_source}" NAME_WE)
    add_executable(${fuzz_name} "${fuzz_source}")
    target_compile_options(${fuzz_name} PRIVATE -fsanitize=fuzzer ${zielwerk_fuzz_sanitizers})
    target_link_options(${fuzz_name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${fuzz_name} PRIVATE zielwerk_simulator)
    set_target_properties(${fuzz_name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
    add_dependencies(zielwerk_fuzzers ${fuzz_name})
  endforeach()
endif()
