# SPDX-License-Identifier: GPL-3.0-or-later
# The releases of NEWS: each begins with a line "VERSION (YYYY-MM-DD)", newest
# first, and its items follow as "- " lines, continued in lines indented by
# two blanks. Lines before the first release are its preamble.
#
# zielwerk_release_notes(<NEWS file> <version> <date variable> <xml variable>)
#   sets <date variable> to the date of <version> and <xml variable> to the
#   <release> elements of every release for a metainfo file's <releases>.
#   Stops the configuration when <version> is not the newest release of NEWS
#   or a line of a release is neither an item nor its continuation.
#
# As a script, for the tests:
#   cmake -DNEWS=<file> -DVERSION=<version> -DOUTPUT=<file> -P ReleaseNotes.cmake
# writes the <release> elements to OUTPUT, or fails with the same message.

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

# Adds the release read so far to xml (in zielwerk_release_notes' scope).
macro(zielwerk_end_release)
  if(NOT item STREQUAL "")
    string(APPEND items "${indent}      <li>${item}</li>\n")
    set(item "")
  endif()
  if(NOT release STREQUAL "")
    string(APPEND xml "${indent}<release version=\"${release}\" date=\"${release_date}\"")
    if(items STREQUAL "")
      string(APPEND xml "/>\n")
    else()
      string(APPEND xml ">\n${indent}  <description>\n${indent}    <ul>\n${items}"
                        "${indent}    </ul>\n${indent}  </description>\n${indent}</release>\n")
    endif()
    set(items "")
  endif()
endmacro()

function(zielwerk_release_notes news version date_variable xml_variable)
  if(NOT EXISTS "${news}")
    message(FATAL_ERROR "${news} is missing; the metainfo's releases are made from it.")
  endif()
  file(READ "${news}" content)
  # Line by line without CMake lists, which would split items at a ";" and
  # join them at an unbalanced "[".
  string(APPEND content "\n")
  set(xml "")
  set(versions "")
  set(release "")
  set(release_date "")
  set(items "")
  set(item "")
  set(line_number 0)
  set(indent "    ")
  while(NOT content STREQUAL "")
    string(FIND "${content}" "\n" end)
    string(SUBSTRING "${content}" 0 ${end} line)
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${content}" ${end} -1 content)
    math(EXPR line_number "${line_number} + 1")
    string(REGEX REPLACE "\r$" "" line "${line}")

    if(line MATCHES "^([0-9]+(\\.[0-9]+)*) \\(([0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9])\\)$")
      zielwerk_end_release()
      set(release "${CMAKE_MATCH_1}")
      set(release_date "${CMAKE_MATCH_3}")
      if(release IN_LIST versions)
        message(FATAL_ERROR "${news}:${line_number}: release ${release} appears twice.")
      endif()
      list(APPEND versions "${release}")
      if(release STREQUAL version)
        set(${date_variable} "${release_date}" PARENT_SCOPE)
      endif()
      continue()
    endif()
    if(release STREQUAL "" OR line STREQUAL "")
      continue()
    endif()
    set(text "")
    if(line MATCHES "^- (.+)$")
      if(NOT item STREQUAL "")
        string(APPEND items "${indent}      <li>${item}</li>\n")
      endif()
      set(item "")
      set(text "${CMAKE_MATCH_1}")
    elseif(NOT item STREQUAL "")
      if(line MATCHES "^  ([^ ].*)$")
        set(text " ${CMAKE_MATCH_1}")
      endif()
    endif()
    if(text STREQUAL "")
      message(FATAL_ERROR "${news}:${line_number}: neither a release \"VERSION (YYYY-MM-DD)\" "
                          "nor an item \"- ...\" of one: \"${line}\"")
    endif()
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    string(APPEND item "${text}")
  endwhile()
  zielwerk_end_release()

  if(NOT version IN_LIST versions)
    message(FATAL_ERROR "${news} has no release ${version}, the version of project(): add a line "
                        "\"${version} (YYYY-MM-DD)\" with its items above the others.")
  endif()
  list(GET versions 0 newest)
  if(NOT newest STREQUAL version)
    message(FATAL_ERROR "${news} lists release ${newest} above ${version}, the version of project(): "
                        "the newest release comes first.")
  endif()
  set(${xml_variable} "${xml}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  zielwerk_release_notes("${NEWS}" "${VERSION}" release_date releases)
  file(WRITE "${OUTPUT}" "${releases}")
endif()
