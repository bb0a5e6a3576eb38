# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Checks of an installed Zielwerk tree, sourced by install_test.sh and
# deb_package_test.sh, which set $source_dir, $build_dir and $scratch (a
# temporary folder) first. Each check is counted by tests/support/pass_fail.sh;
# the caller ends with its report.
# shellcheck disable=SC2154,SC2015,SC2119

# shellcheck source=tests/support/pass_fail.sh
. "$source_dir/tests/support/pass_fail.sh"

version=$(sed -n 's/^version=//p' "$build_dir/package.env")
app_id=$(sed -n 's/^app_id=//p' "$build_dir/package.env")
picture_maker_id=$(sed -n 's/^picture_maker_id=//p' "$build_dir/package.env")
copyright_years=$(sed -n 's/^copyright_years=//p' "$build_dir/package.env")
copyright_holder=$(sed -n 's/^copyright_holder=//p' "$build_dir/package.env")
programs="usr/bin/zielwerk usr/bin/zielwerk-bildwandler usr/bin/zielwerk-senden usr/bin/zielwerk-display-sim usr/libexec/zielwerk/zielwerk"
# Each command on the PATH has a manual page; the word of its own that the
# page must hold (an option, so the page was made from what the command says).
manual_pages="zielwerk:--bildwandler zielwerk-bildwandler:--threshold zielwerk-senden:--wagennummer zielwerk-display-sim:--window"
icon_sizes="16 32 48 64 128 256"

# The paths (below the root, without "./") every installation must hold:
# the fixed ones, every file of the source data/ folder under share/zielwerk
# but the Windows build's .ico icons, the manual of docs/hilfe/ under
# share/help/de/zielwerk, and the README's pictures and documents from the
# rest of docs/ beside it.
expected_paths() {
  source_dir=$1
  cat <<EOF
$(printf '%s\n' "$programs" | tr ' ' '\n')
usr/share/zielwerk/Icons/Help.png
usr/share/zielwerk/wagen_BERNINA_EXPRESS.bmp
usr/share/zielwerk/wagen_GLACIER_EXPRESS.bmp
usr/share/zielwerk/wagen_REGIO_EXPRESS.bmp
usr/share/applications/$app_id.desktop
usr/share/metainfo/$app_id.metainfo.xml
usr/share/applications/$picture_maker_id.desktop
usr/share/metainfo/$picture_maker_id.metainfo.xml
usr/share/icons/hicolor/scalable/apps/$app_id.svg
usr/share/doc/zielwerk/README.md
usr/share/doc/zielwerk/copyright
usr/share/doc/zielwerk/changelog.gz
usr/share/help/de/zielwerk/laufschild/laufschild.html
EOF
  for page in $manual_pages; do
    printf 'usr/share/man/man1/%s.1.gz\n' "${page%%:*}"
  done
  for size in $icon_sizes; do
    printf 'usr/share/icons/hicolor/%sx%s/apps/%s.png\n' "$size" "$size" "$app_id"
  done
  (cd "$source_dir/data" && find . -type f ! -name '*.ico' | sed 's|^\./|usr/share/zielwerk/|')
  (cd "$source_dir/docs/hilfe" && find . -type f | sed 's|^\./|usr/share/help/de/zielwerk/|')
  (cd "$source_dir/docs" && find . -path ./hilfe -prune -o \( -name '*.png' -o -name '*.md' \) -print |
     sed 's|^\./|usr/share/doc/zielwerk/docs/|')
}

# The date NEWS gives release $1, empty when it has none.
news_date() {
  sed -n "s/^$(printf '%s' "$1" | sed 's/\./\\./g') (\([0-9-]*\))\$/\1/p" "$source_dir/NEWS"
}

# Width and height of a PNG file from its IHDR chunk, as "W H".
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}

# check_installed_tree ROOT SOURCE_DIR: the files are there with the right
# kind and mode, the data files equal the source ones, the icons have their
# sizes, and the desktop entry and metainfo pass their validators.
check_installed_tree() {
  root=$1
  source_dir=$2
  expected_paths "$source_dir" | while IFS= read -r path; do
    [ -f "$root/$path" ] || printf '%s\n' "$path"
  done >"$scratch/missing"
  check
  if [ -s "$scratch/missing" ]; then
    fail "missing from the installed tree: $(tr '\n' ' ' <"$scratch/missing")"
  fi

  for program in $programs; do
    check
    [ -x "$root/$program" ] || fail "$program is not executable"
  done
  check
  head -n 1 "$root/usr/bin/zielwerk" | grep -q '^#!/bin/sh' || fail "usr/bin/zielwerk is not the launcher script"

  (cd "$source_dir/data" && find . -type f ! -name '*.ico') | while IFS= read -r file; do
    cmp -s "$source_dir/data/$file" "$root/usr/share/zielwerk/$file" || printf '%s\n' "$file"
  done >"$scratch/different"
  check
  if [ -s "$scratch/different" ]; then
    fail "installed data files differ from data/: $(tr '\n' ' ' <"$scratch/different")"
  fi

  # The launcher copies all of share/zielwerk into every working folder, so
  # it holds data/'s files and nothing else (the manual least of all).
  check
  (cd "$source_dir/data" && find . -type f ! -name '*.ico' | LC_ALL=C sort) >"$scratch/data.list"
  (cd "$root/usr/share/zielwerk" && find . ! -type d | LC_ALL=C sort) >"$scratch/installed-data.list"
  comm -13 "$scratch/data.list" "$scratch/installed-data.list" >"$scratch/extra"
  [ -s "$scratch/extra" ] && fail "share/zielwerk holds more than data/: $(tr '\n' ' ' <"$scratch/extra")"

  # The program looks for its manual at ../../share/help/de/zielwerk from its
  # own folder.
  check
  diff -r "$source_dir/docs/hilfe" "$root/usr/libexec/zielwerk/../../share/help/de/zielwerk" >"$scratch/help.diff" 2>&1 ||
    fail "the manual is not where the installed program looks for it: $(head -5 "$scratch/help.diff")"
  check
  find "$root/usr/share/doc" -path '*/hilfe*' | grep -q . &&
    fail "parts of the manual under share/doc: $(find "$root/usr/share/doc" -path '*/hilfe*')"

  copyright=$root/usr/share/doc/zielwerk/copyright
  check
  for line in "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
              "Copyright: $copyright_years $copyright_holder" "License: GPL-3.0-or-later" \
              ' version 3 can be found in "/usr/share/common-licenses/GPL-3".'; do
    grep -qxF "$line" "$copyright" || { fail "$copyright lacks the line \"$line\""; break; }
  done

  # The manual pages name their command and hold what it says of itself;
  # the changelog is NEWS with this version on top.
  for page in $manual_pages; do
    name=${page%%:*} word=${page#*:}
    file=$root/usr/share/man/man1/$name.1.gz
    check
    if ! gzip -dc "$file" >"$scratch/page" 2>/dev/null ||
       ! grep -qi "^\.TH \"\{0,1\}$name\"\{0,1\} " "$scratch/page" ||
       ! grep -qF -- "$(printf '%s' "$word" | sed 's/-/\\-/g')" "$scratch/page"; then
      fail "$file is no manual page of $name with $word: $(head -c 300 "$scratch/page")"
    fi
  done
  check
  [ "$(gzip -dc "$root/usr/share/doc/zielwerk/changelog.gz" 2>/dev/null | head -n 1)" = \
    "zielwerk ($version) unstable; urgency=medium" ] ||
    fail "changelog.gz does not begin with release $version: $(gzip -dc "$root/usr/share/doc/zielwerk/changelog.gz" | head -n 3)"

  for size in $icon_sizes; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    check
    [ -f "$png" ] && [ "$(png_size "$png")" = "$size $size" ] ||
      fail "icon $png is not a ${size} x ${size} PNG"
  done

  for id in "$app_id" "$picture_maker_id"; do
    check
    if ! desktop-file-validate "$root/usr/share/applications/$id.desktop" >"$scratch/validate.log" 2>&1 ||
       [ -s "$scratch/validate.log" ]; then
      fail "desktop-file-validate $id: $(cat "$scratch/validate.log")"
    fi
    check
    appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$scratch/validate.log" 2>&1 ||
      fail "appstreamcli validate $id: $(cat "$scratch/validate.log")"
    # The release of this version, as NEWS dates it, and the licence.
    metainfo=$root/usr/share/metainfo/$id.metainfo.xml
    release="<release version=\"$version\" date=\"$(news_date "$version")\""
    check
    if [ -z "$(news_date "$version")" ] || ! grep -qF "$release" "$metainfo" ||
       ! grep -qF "<project_license>GPL-3.0-or-later</project_license>" "$metainfo"; then
      fail "$id.metainfo.xml lacks $release or its licence: $(grep -e '<release ' -e project_license "$metainfo")"
    fi
  done
  check
  grep -qx "Exec=zielwerk" "$root/usr/share/applications/$app_id.desktop" ||
    fail "the desktop entry does not start the launcher"
  check
  grep -qx "Exec=zielwerk --bildwandler %f" "$root/usr/share/applications/$picture_maker_id.desktop" ||
    fail "the picture maker's desktop entry does not start it through the launcher"

  # The picture maker works without a display: the installed one converts a
  # standard picture (its libraries are all there) into the committed dots.
  check
  if ! "$root/usr/bin/zielwerk-bildwandler" "$root/usr/share/zielwerk/wagen_REGIO_EXPRESS.bmp" \
       -o "$scratch/converted.bmp" >"$scratch/converted.log" 2>&1 ||
     ! cmp -s "$source_dir/tests/data/e2e/wagen_REGIO_EXPRESS_converted.bmp" "$scratch/converted.bmp"; then
    fail "the installed picture maker did not convert a picture as expected: $(cat "$scratch/converted.log")"
  fi
}

# A stand-in for the program: records its working folder and arguments.
make_fake_program() {
  cat >"$1" <<'EOF'
#!/bin/sh
{ pwd; for argument in "$@"; do printf '[%s]\n' "$argument"; done; } >"$FAKE_RECORD"
EOF
  chmod +x "$1"
}

# run_launcher LAUNCHER HOME XDG_DATA_HOME|- ARGS...: runs the launcher with
# the fake program in a clean environment; its exit status is returned.
run_launcher() {
  launcher=$1 home=$2 xdg=$3
  shift 3
  rm -f "$scratch/record"
  if [ "$xdg" = - ]; then
    env -i PATH="$PATH" HOME="$home" ZIELWERK_PROGRAM="$scratch/fake-zielwerk" \
      FAKE_RECORD="$scratch/record" "$launcher" "$@" >"$scratch/launcher.log" 2>&1
  else
    env -i PATH="$PATH" HOME="$home" XDG_DATA_HOME="$xdg" ZIELWERK_PROGRAM="$scratch/fake-zielwerk" \
      FAKE_RECORD="$scratch/record" "$launcher" "$@" >"$scratch/launcher.log" 2>&1
  fi
}

# check_launcher_case NAME ROOT HOME XDG EXPECTED_FOLDER: the launcher run
# with this environment starts the program in EXPECTED_FOLDER with its
# arguments, and that folder then holds every data file.
check_launcher_case() {
  name=$1 root=$2 home=$3 xdg=$4 expected=$5
  mkdir -p "$home"
  check
  if ! run_launcher "$root/usr/bin/zielwerk" "$home" "$xdg" "eins" "zwei drei"; then
    fail "$name: launcher failed: $(cat "$scratch/launcher.log")"
    return
  fi
  check
  printf '%s\n[eins]\n[zwei drei]\n' "$expected" | cmp -s - "$scratch/record" ||
    fail "$name: program not started in $expected with the arguments: $(cat "$scratch/record" 2>/dev/null)"
  for file in wagen_BERNINA_EXPRESS.bmp wagen_GLACIER_EXPRESS.bmp wagen_REGIO_EXPRESS.bmp Icons/Help.png; do
    check
    cmp -s "$root/usr/share/zielwerk/$file" "$expected/$file" || fail "$name: $file not copied to $expected"
  done
}

# check_launcher ROOT: the launcher's working folder, first start, later
# starts that must keep the user's files, and the real program behind it.
check_launcher() {
  root=$1
  make_fake_program "$scratch/fake-zielwerk"
  homes=$scratch/homes

  check_launcher_case "no XDG_DATA_HOME" "$root" "$homes/a" - "$homes/a/.local/share/zielwerk"
  check_launcher_case "absolute XDG_DATA_HOME" "$root" "$homes/b" "$homes/b-data" "$homes/b-data/zielwerk"
  check
  [ ! -e "$homes/b/.local" ] || fail "absolute XDG_DATA_HOME: the home folder was used"
  check_launcher_case "relative XDG_DATA_HOME" "$root" "$homes/c" "relative/data" "$homes/c/.local/share/zielwerk"
  check_launcher_case "empty XDG_DATA_HOME" "$root" "$homes/d" "" "$homes/d/.local/share/zielwerk"

  # A later start: the user's changed and own files stay as they are, files
  # that have gone missing (or came with an upgrade) are added.
  work=$homes/a/.local/share/zielwerk
  printf 'mein Bild' >"$work/wagen_BERNINA_EXPRESS.bmp"
  printf 'mein Symbol' >"$work/Icons/Help.png"
  printf '\357\273\277\nEinstellungen = Meine.ini\n' >"$work/Zielstell.ini"
  printf 'Startbahnhof = Chur\n' >"$work/Default.ini"
  rm "$work/wagen_REGIO_EXPRESS.bmp" "$work/Icons/Save.png"
  rm "$work/wagen_GLACIER_EXPRESS.bmp"
  ln -s "nirgendwo" "$work/wagen_GLACIER_EXPRESS.bmp"
  check
  run_launcher "$root/usr/bin/zielwerk" "$homes/a" - || fail "second start: launcher failed: $(cat "$scratch/launcher.log")"
  check
  [ "$(cat "$work/wagen_BERNINA_EXPRESS.bmp")" = "mein Bild" ] || fail "second start: a changed picture was overwritten"
  check
  [ "$(cat "$work/Icons/Help.png")" = "mein Symbol" ] || fail "second start: a changed icon was overwritten"
  check
  [ "$(cat "$work/Default.ini")" = "Startbahnhof = Chur" ] || fail "second start: Default.ini was changed"
  check
  printf '\357\273\277\nEinstellungen = Meine.ini\n' | cmp -s - "$work/Zielstell.ini" || fail "second start: Zielstell.ini was changed"
  check
  [ -L "$work/wagen_GLACIER_EXPRESS.bmp" ] || fail "second start: a link of the user's was replaced"
  check
  cmp -s "$root/usr/share/zielwerk/wagen_REGIO_EXPRESS.bmp" "$work/wagen_REGIO_EXPRESS.bmp" ||
    fail "second start: a missing picture was not added"
  check
  cmp -s "$root/usr/share/zielwerk/Icons/Save.png" "$work/Icons/Save.png" ||
    fail "second start: a missing icon was not added"
  check
  leftovers=$(find "$work" -name '.zielwerk-partial.*')
  [ -z "$leftovers" ] || fail "second start: temporary files left behind: $leftovers"

  # A working folder that cannot be made: a message and a failure, no program.
  printf 'kein Ordner' >"$homes/blocked"
  check
  if run_launcher "$root/usr/bin/zielwerk" "$homes/e" "$homes/blocked/data"; then
    fail "unusable working folder: the launcher reported success"
  fi
  check
  [ ! -e "$scratch/record" ] || fail "unusable working folder: the program was started anyway"
  check
  grep -q "Arbeitsordner" "$scratch/launcher.log" || fail "unusable working folder: no message: $(cat "$scratch/launcher.log")"

  # The installed program behind the launcher, reached through a link to the
  # launcher from elsewhere: without a display it must be GTK that complains,
  # not the shell failing to find the program.
  mkdir -p "$scratch/elsewhere"
  ln -sf "$root/usr/bin/zielwerk" "$scratch/elsewhere/zielwerk"
  check
  if env -i PATH="$PATH" HOME="$homes/f" "$scratch/elsewhere/zielwerk" >"$scratch/real.log" 2>&1; then
    fail "real program without a display reported success"
  fi
  check
  grep -qi "display" "$scratch/real.log" || fail "real program was not started: $(cat "$scratch/real.log")"

  check
  find "$homes/a/.local/share/zielwerk" -name '*.html' | grep -q . && fail "the manual was copied to the working folder"

  # --bildwandler starts the picture maker in the working folder with the
  # arguments after it, its file names made absolute against the folder they
  # were typed in.
  typed=$scratch/typed\ here
  mkdir -p "$typed/bilder" "$typed/ausgabe"
  typed=$(cd "$typed" && pwd -P)
  check_typed_names "pictures and -o" "[$typed/foto.jpg] [-o] [$typed/aus/w.bmp] [--threshold] [110]" \
    foto.jpg -o aus/w.bmp --threshold 110
  check_typed_names "texts and --output=" "[--text] [BERNINA EXPRESS] [--font] [Sans Bold] [--output=$typed/b.bmp]" \
    --text "BERNINA EXPRESS" --font "Sans Bold" --output=b.bmp
  check_typed_names "after --" "[/abs/foto.png] [--dither] [atkinson] [--] [$typed/-foto.png] [$typed/--invert]" \
    /abs/foto.png --dither atkinson -- -foto.png --invert
  check_typed_names "values that look like options, and -" "[--text] [-o] [--invert] [$typed/-] [-o] []" \
    --text -o --invert - -o ""

  # The real picture maker behind it, typed in another folder than the
  # picture's and the output's: it converts without a window.
  cp "$root/usr/share/zielwerk/wagen_REGIO_EXPRESS.bmp" "$typed/bilder/"
  check
  if ! (cd "$typed/bilder" && env -i PATH="$PATH" HOME="$homes/g" "$root/usr/bin/zielwerk" --bildwandler \
          wagen_REGIO_EXPRESS.bmp -o ../ausgabe/umgewandelt.bmp) >"$scratch/bildwandler.log" 2>&1 ||
     ! cmp -s "$source_dir/tests/data/e2e/wagen_REGIO_EXPRESS_converted.bmp" "$typed/ausgabe/umgewandelt.bmp"; then
    fail "the launcher's picture maker did not convert the names as typed: $(cat "$scratch/bildwandler.log")"
  fi
}

# check_typed_names NAME EXPECTED ARGS...: `zielwerk --bildwandler ARGS...`
# typed in $typed starts the program in the working folder with EXPECTED,
# the arguments as "[...]" joined by blanks.
check_typed_names() {
  name=$1 expected=$2
  shift 2
  check
  if ! (cd "$typed" && run_launcher "$root/usr/bin/zielwerk" "$homes/a" - --bildwandler "$@"); then
    fail "$name: launcher failed: $(cat "$scratch/launcher.log")"
    return
  fi
  got=$(tail -n +2 "$scratch/record" | tr '\n' ' ')
  [ "$(head -n 1 "$scratch/record")" = "$homes/a/.local/share/zielwerk" ] && [ "$got" = "$expected " ] ||
    fail "$name: the program got $got in $(head -n 1 "$scratch/record"), not $expected"
}
