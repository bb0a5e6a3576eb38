# SPDX-License-Identifier: GPL-3.0-or-later
# Installation where a Linux desktop expects things, and the Debian package.
#
#   bin/zielwerk                    launcher: per-user working folder, then the program
#   bin/zielwerk-bildwandler        the picture maker (its desktop entry starts it
#                                   through the launcher, in the same working folder)
#   bin/zielwerk-display-sim        the display simulator
#   libexec/zielwerk/zielwerk       the program itself
#   share/zielwerk/                 the working-folder files from data/ (Icons/, wagen_*.bmp)
#   share/help/de/zielwerk/         the German manual from docs/hilfe/
#   share/doc/zielwerk/copyright    the licence in Debian's machine-readable form
#   share/doc/zielwerk/changelog.gz NEWS as a Debian changelog (packaging/news-to-changelog.sh)
#   share/man/man1/                 the German manual pages (cmake/ManualPages.cmake)
#   share/applications/, share/metainfo/, share/icons/hicolor/   desktop entries, metainfo, icon
#
# `cmake --install <build>` installs it; `cpack` in the build folder makes
# zielwerk_<version>_<arch>.deb with its dependencies taken from the shared
# libraries the binaries use.

include(GNUInstallDirs)

set(ZIELWERK_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(ZIELWERK_PROGRAM_DIR "${CMAKE_INSTALL_LIBEXECDIR}/zielwerk")
set(ZIELWERK_DATA_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/zielwerk")
set(ZIELWERK_HELP_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/help/de/zielwerk")

# Directories made by the install get 0755 whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS zielwerk RUNTIME DESTINATION "${ZIELWERK_PROGRAM_DIR}")
# The picture maker is also a command-line tool, so it lies on the PATH itself,
# as does the command-line sender.
install(TARGETS zielwerk-bildwandler zielwerk-senden RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
if(TARGET zielwerk-display-sim)
  install(TARGETS zielwerk-display-sim RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()
# The .ico icons beside the .png ones are the Windows build's.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/" DESTINATION "${ZIELWERK_DATA_INSTALL_DIR}"
        PATTERN "*.ico" EXCLUDE)

# The manual lies where desktop help lies, not in share/zielwerk/, whose
# files the launcher copies into every user's working folder. The program
# finds it from its own folder by ../../share/help/de/zielwerk.
install(DIRECTORY "${ZIELWERK_HELP_SOURCE_DIR}/" DESTINATION "${ZIELWERK_HELP_INSTALL_DIR}")
file(RELATIVE_PATH zielwerk_help_from_program "/${ZIELWERK_PROGRAM_DIR}" "/${ZIELWERK_HELP_INSTALL_DIR}")
if(NOT zielwerk_help_from_program STREQUAL "../../share/help/de/zielwerk")
  message(WARNING "With these install folders the installed program will not find its manual: it looks "
                  "in ../../share/help/de/zielwerk from ${ZIELWERK_PROGRAM_DIR}, which is not "
                  "${ZIELWERK_HELP_INSTALL_DIR}.")
endif()

# The launcher finds the program and the data relative to its own place, so
# the installed tree can be moved (a package unpacked into a scratch root works).
file(RELATIVE_PATH ZIELWERK_LAUNCHER_PROGRAM "/${CMAKE_INSTALL_BINDIR}" "/${ZIELWERK_PROGRAM_DIR}/zielwerk")
file(RELATIVE_PATH ZIELWERK_LAUNCHER_DATA "/${CMAKE_INSTALL_BINDIR}" "/${ZIELWERK_DATA_INSTALL_DIR}")
configure_file("${ZIELWERK_PACKAGING_DIR}/zielwerk-launcher.in" "${CMAKE_BINARY_DIR}/packaging/zielwerk" @ONLY)
install(PROGRAMS "${CMAKE_BINARY_DIR}/packaging/zielwerk" DESTINATION "${CMAKE_INSTALL_BINDIR}")

# The metainfo names its program by the file's ID and the release by the
# project's version.
foreach(id IN ITEMS "${ZIELWERK_APP_ID}" "${ZIELWERK_PICTURE_MAKER_ID}")
  install(FILES "${ZIELWERK_PACKAGING_DIR}/${id}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  configure_file("${ZIELWERK_PACKAGING_DIR}/${id}.metainfo.xml.in"
                 "${CMAKE_BINARY_DIR}/packaging/${id}.metainfo.xml" @ONLY)
  install(FILES "${CMAKE_BINARY_DIR}/packaging/${id}.metainfo.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
endforeach()
install(FILES "${ZIELWERK_PACKAGING_DIR}/icons/${ZIELWERK_APP_ID}.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
foreach(size IN ITEMS 16 32 48 64 128 256)
  install(FILES "${ZIELWERK_PACKAGING_DIR}/icons/${ZIELWERK_APP_ID}-${size}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME "${ZIELWERK_APP_ID}.png")
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
# The README shows the pictures of docs/ and links its documents by that
# relative path. The manual's pictures are installed with the manual.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/" DESTINATION "${CMAKE_INSTALL_DOCDIR}/docs"
        FILES_MATCHING PATTERN "*.png" PATTERN "*.md" PATTERN "hilfe" EXCLUDE)

include("${CMAKE_CURRENT_LIST_DIR}/ManualPages.cmake")

set(ZIELWERK_PACKAGE_MAINTAINER "Zielwerk-Team <zielwerk@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# NEWS is the package's changelog, in Debian's form where Debian looks for it.
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/packaging/changelog.gz"
                   COMMAND sh -c "sh \"$0\" \"$1\" zielwerk \"$2\" | gzip -9n >\"$3\""
                           "${ZIELWERK_PACKAGING_DIR}/news-to-changelog.sh" "${PROJECT_SOURCE_DIR}/NEWS"
                           "${ZIELWERK_PACKAGE_MAINTAINER}" "${CMAKE_BINARY_DIR}/packaging/changelog.gz"
                   DEPENDS "${PROJECT_SOURCE_DIR}/NEWS" "${ZIELWERK_PACKAGING_DIR}/news-to-changelog.sh"
                   VERBATIM)
add_custom_target(zielwerk_changelog ALL DEPENDS "${CMAKE_BINARY_DIR}/packaging/changelog.gz")
install(FILES "${CMAKE_BINARY_DIR}/packaging/changelog.gz" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# Debian's copyright file, in its machine-readable format; the package, and
# an installation under /usr/local, point to the system's copy of the GPL.
configure_file("${ZIELWERK_PACKAGING_DIR}/copyright.in" "${CMAKE_BINARY_DIR}/packaging/copyright" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/packaging/copyright" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zielwerk")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Zielwerk")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up the destination display of a model-railway passenger car")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_NAME "zielwerk")
set(CPACK_DEBIAN_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZIELWERK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The help command opens its page with xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION
    "Zielwerk is a GTK 3 program (German user interface) for the electronic
destination display of a model-railway passenger car: DCC address and running
direction, train type with its 160 x 14 picture, start, intermediate and end
stations as a running text, run-in and run-out modes, and the car number.
It keeps the settings in INI files, previews the display live, sends the
settings to the display over a 9600-baud serial line and prints them.
.
The package also holds Zielwerk Bildwandler (zielwerk-bildwandler), which
turns photos, logos and text into the display's 160 x 14 pictures, in a
window or many at once on the command line; zielwerk-senden, which sends a
settings file to the display from the command line (for scripts and a train
of several cars); and zielwerk-display-sim, which stands in for the display
on a pseudo-terminal.")
include(CPack)

if(ZIELWERK_BUILD_TESTS)
  # Both tests install into a scratch folder; neither touches the machine's
  # own package database or /usr.
  add_test(NAME packaging_install
           COMMAND sh "${PROJECT_SOURCE_DIR}/tests/packaging/install_test.sh"
                   "${CMAKE_BINARY_DIR}" "${CMAKE_COMMAND}")
  add_test(NAME packaging_deb
           COMMAND sh "${PROJECT_SOURCE_DIR}/tests/packaging/deb_package_test.sh"
                   "${CMAKE_BINARY_DIR}" "${CMAKE_CPACK_COMMAND}")
  set_tests_properties(packaging_install packaging_deb PROPERTIES
                       LABELS packaging TIMEOUT 600 RESOURCE_LOCK zielwerk_install)
  # How the metainfo's releases are read from NEWS, on NEWS files of its own.
  add_test(NAME packaging_release_notes
           COMMAND sh "${PROJECT_SOURCE_DIR}/tests/packaging/release_notes_test.sh" "${CMAKE_COMMAND}")
  set_tests_properties(packaging_release_notes PROPERTIES LABELS packaging)
endif()
