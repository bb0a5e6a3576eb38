# SPDX-License-Identifier: GPL-3.0-or-later
# The German manual pages of the installed commands, in share/man/man1:
# zielwerk's written by hand (packaging/zielwerk.1.in, the program has no
# --help), the others made at build time by help2man from their --help.
# help2man names its sections in German when the locale de_DE.UTF-8 can be
# made in the build folder (localedef and Debian's "locales"); without it the
# headings are English and the text is still the programs' German. Each page
# is compressed as Debian wants it (gzip -9n). Included by Packaging.cmake.

find_program(HELP2MAN help2man)
find_program(LOCALEDEF localedef)
if(NOT HELP2MAN)
  message(WARNING "help2man is missing (scripts/install-deps.sh installs it): the installation "
                  "and the package have no manual pages for zielwerk-bildwandler, zielwerk-senden "
                  "and zielwerk-display-sim.")
endif()

set(zielwerk_man_dir "${CMAKE_BINARY_DIR}/man")
# The pages carry the date of the release, not of the build.
execute_process(COMMAND date -u -d "${ZIELWERK_RELEASE_DATE}" +%s
                OUTPUT_VARIABLE zielwerk_release_epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(ZIELWERK_MANUAL_PAGE_DATE "${ZIELWERK_RELEASE_DATE}")
configure_file("${ZIELWERK_PACKAGING_DIR}/zielwerk.1.in" "${zielwerk_man_dir}/zielwerk.1" @ONLY)

set(zielwerk_man_locale "${zielwerk_man_dir}/locale")
if(LOCALEDEF)
  add_custom_command(OUTPUT "${zielwerk_man_locale}/de_DE.UTF-8/LC_CTYPE"
                     COMMAND "${CMAKE_COMMAND}" -E make_directory "${zielwerk_man_locale}"
                     COMMAND sh -c "\"$0\" -i de_DE -f UTF-8 \"$1\" >/dev/null 2>&1 || mkdir -p \"$1\" && touch \"$1/LC_CTYPE\""
                             "${LOCALEDEF}" "${zielwerk_man_locale}/de_DE.UTF-8"
                     COMMENT "The German locale for help2man's headings"
                     VERBATIM)
  set(zielwerk_man_locale_stamp "${zielwerk_man_locale}/de_DE.UTF-8/LC_CTYPE")
endif()

# name | what the command does, for the page's BEZEICHNUNG (help2man takes it
# as Latin-1, so it keeps to ASCII)
set(zielwerk_help2man_pages
    "zielwerk-bildwandler|Fotos, Logos und Text in Zugbilder umwandeln"
    "zielwerk-senden|eine Einstellungsdatei von Zielwerk ohne Fenster an die Zielanzeige senden")
if(TARGET zielwerk-display-sim)
  list(APPEND zielwerk_help2man_pages
       "zielwerk-display-sim|die Zielanzeige auf einem Pseudo-Terminal spielen, um Zielwerk ohne Anzeige auszuprobieren")
endif()

set(zielwerk_man_pages "${zielwerk_man_dir}/zielwerk.1")
if(HELP2MAN)
  foreach(entry IN LISTS zielwerk_help2man_pages)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 summary)
    add_custom_command(OUTPUT "${zielwerk_man_dir}/${program}.1"
                       COMMAND "${CMAKE_COMMAND}" -E env "LOCPATH=${zielwerk_man_locale}"
                               "SOURCE_DATE_EPOCH=${zielwerk_release_epoch}"
                               "${HELP2MAN}" --no-info --locale=de_DE.UTF-8
                               "--version-string=${PROJECT_VERSION}" "--name=${summary}"
                               "--output=${zielwerk_man_dir}/${program}.1" "$<TARGET_FILE:${program}>"
                       DEPENDS ${program} ${zielwerk_man_locale_stamp}
                       COMMENT "The manual page of ${program}"
                       VERBATIM)
    list(APPEND zielwerk_man_pages "${zielwerk_man_dir}/${program}.1")
  endforeach()
endif()

set(zielwerk_compressed_man_pages "")
foreach(page IN LISTS zielwerk_man_pages)
  add_custom_command(OUTPUT "${page}.gz"
                     COMMAND sh -c "gzip -9n -c \"$0\" >\"$0.gz\"" "${page}"
                     DEPENDS "${page}"
                     VERBATIM)
  list(APPEND zielwerk_compressed_man_pages "${page}.gz")
endforeach()
add_custom_target(zielwerk_manual_pages ALL DEPENDS ${zielwerk_compressed_man_pages})
install(FILES ${zielwerk_compressed_man_pages} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
