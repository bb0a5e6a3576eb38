# SPDX-License-Identifier: GPL-3.0-or-later
# CMake toolchain for the Windows x86_64 build with Debian's MinGW-w64 (posix
# threads) against the GTK stack of scripts/windows/build-stack.sh.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DZIELWERK_MINGW_PREFIX=$(scripts/windows/build-stack.sh --print-prefix)
#
# The stack's prefix comes from the cache variable ZIELWERK_MINGW_PREFIX or,
# failing that, from the environment variable of the same name.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(_zielwerk_host x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_zielwerk_host}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_zielwerk_host}-g++-posix)
set(CMAKE_RC_COMPILER ${_zielwerk_host}-windres)
set(CMAKE_AR ${_zielwerk_host}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${_zielwerk_host}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP ${_zielwerk_host}-strip CACHE FILEPATH "")

if(NOT ZIELWERK_MINGW_PREFIX AND DEFINED ENV{ZIELWERK_MINGW_PREFIX})
  set(ZIELWERK_MINGW_PREFIX "$ENV{ZIELWERK_MINGW_PREFIX}")
endif()
if(NOT ZIELWERK_MINGW_PREFIX)
  message(FATAL_ERROR
    "ZIELWERK_MINGW_PREFIX is not set: pass -DZIELWERK_MINGW_PREFIX=$(scripts/windows/build-stack.sh --print-prefix)")
endif()
if(NOT EXISTS "${ZIELWERK_MINGW_PREFIX}/lib/pkgconfig/glib-2.0.pc")
  message(FATAL_ERROR "${ZIELWERK_MINGW_PREFIX} holds no GTK stack (no lib/pkgconfig/glib-2.0.pc)")
endif()
set(ZIELWERK_MINGW_PREFIX "${ZIELWERK_MINGW_PREFIX}" CACHE PATH "Prefix of the cross-built GTK stack")
# try_compile projects run this file again and need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZIELWERK_MINGW_PREFIX)

set(CMAKE_FIND_ROOT_PATH "${ZIELWERK_MINGW_PREFIX}" /usr/${_zielwerk_host})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the stack alone; its .pc files carry absolute paths, so no sysroot.
set(PKG_CONFIG_EXECUTABLE pkg-config CACHE FILEPATH "")
set(ENV{PKG_CONFIG_LIBDIR} "${ZIELWERK_MINGW_PREFIX}/lib/pkgconfig:${ZIELWERK_MINGW_PREFIX}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Tests (.exe) run under Wine.
find_program(ZIELWERK_WINE64 NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ZIELWERK_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${ZIELWERK_WINE64}")
endif()

# The compiler runtime goes into the program: libgcc, libstdc++ and winpthread
# statically, so the DLL set is the stack's DLLs alone. The driver adds
# -lpthread (winpthread's import library) at the end of every link; pulling the
# whole static archive in first leaves that import unused. The archive also
# holds winpthread's own version information (version.o), which would land in
# every program beside the program's own, so a copy without it is linked.
set(_zielwerk_winpthread "/usr/${_zielwerk_host}/lib/libwinpthread.a")
set(_zielwerk_winpthread_copy "${CMAKE_BINARY_DIR}/CMakeFiles/libwinpthread-static.a")
if(NOT EXISTS "${_zielwerk_winpthread_copy}" OR "${_zielwerk_winpthread}" IS_NEWER_THAN "${_zielwerk_winpthread_copy}")
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/CMakeFiles")
  file(COPY_FILE "${_zielwerk_winpthread}" "${_zielwerk_winpthread_copy}")
  execute_process(COMMAND ${_zielwerk_host}-ar d "${_zielwerk_winpthread_copy}" version.o
                  RESULT_VARIABLE _zielwerk_ar_result OUTPUT_QUIET ERROR_QUIET)
endif()
set(_zielwerk_static_runtime
  "-static-libgcc -static-libstdc++ -Wl,--whole-archive ${_zielwerk_winpthread_copy} -Wl,--no-whole-archive")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_zielwerk_static_runtime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
