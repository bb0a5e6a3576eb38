#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes NEWS to standard output as a Debian changelog, the form in which the
# package carries it (share/doc/zielwerk/changelog.gz): each release
# "VERSION (YYYY-MM-DD)" an entry of PACKAGE, its "- " items the entry's
# bullets with their continuation lines, signed by MAINTAINER on the
# release's date. The preamble before the first release is left out. NEWS is
# taken as cmake/ReleaseNotes.cmake has checked it.
# Usage: news-to-changelog.sh NEWS PACKAGE MAINTAINER
set -eu
news=$1 package=$2 maintainer=$3
release=""
date=""

sign() {
  if [ -n "$release" ]; then
    printf '\n -- %s  %s\n' "$maintainer" "$(LC_ALL=C date -u -R -d "$date")"
  fi
}

while IFS= read -r line || [ -n "$line" ]; do
  line=${line%"$(printf '\r')"}
  if printf '%s\n' "$line" | grep -Eq '^[0-9]+(\.[0-9]+)* \([0-9]{4}-[0-9]{2}-[0-9]{2}\)$'; then
    if [ -n "$release" ]; then
      sign
      printf '\n'
    fi
    release=${line%% *}
    date=${line#* (}
    date=${date%)}
    printf '%s (%s) unstable; urgency=medium\n\n' "$package" "$release"
  elif [ -n "$release" ]; then
    case $line in
      '- '*) printf '  * %s\n' "${line#- }" ;;
      '  '*) printf '    %s\n' "${line#  }" ;;
    esac
  fi
done <"$news"
sign
