#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the GTK 3 / gtkmm-3.0 stack for Windows x86_64 (MinGW-w64) from
# the upstream tarballs of Debian's source packages, as stack/recipe.sh says
# (the packages, their tarballs with SHA-256, how each is built) with the
# patches stack/<package>.patch applied to their sources.
#
# The stack lands in a fixed prefix outside the checkout,
#   ${ZIELWERK_MINGW_CACHE:-/var/cache/zielwerk-mingw}/<key>/
# where <key> is the start of a SHA-256 over what decides the stack's
# content: the recipe's lines but its comment lines and blank lines, and the
# patches from their first "---" line on. The paths are baked into the .pc
# files, and a run whose key names a finished prefix returns at once; a
# change to a comment or to this script keeps the key. The build goes into
# <key>.partial (reached through <key> as a symbolic link, so the baked paths
# are the final ones) and is renamed into place only when every package
# succeeded, so a half-built prefix is never taken for a finished one. Then
# the stacks of other keys in the cache, and tarballs the recipe no longer
# names, are removed.
#
# The cache folder belongs to whoever builds there: a user who may not write
# to it (the first run makes it under /var/cache) gets it through sudo.
#
# Usage: build-stack.sh                 build or reuse the stack
#        build-stack.sh --print-prefix  print the prefix path and exit
#        build-stack.sh --print-key     print the key and exit
# Environment: ZIELWERK_MINGW_CACHE  cache folder (default /var/cache/zielwerk-mingw)
#              ZIELWERK_JOBS         parallel jobs (default: the number of cores)
#              ZIELWERK_STACK_RESUME=1  keep an unfinished build and go on
#                                       from the package that failed
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
stack_dir=$here/stack
cache=${ZIELWERK_MINGW_CACHE:-/var/cache/zielwerk-mingw}
jobs=${ZIELWERK_JOBS:-$(nproc)}
host=x86_64-w64-mingw32

stack_key() {
  (cd "$stack_dir" && {
    echo recipe.sh
    grep -Ev '^[[:space:]]*(#([[:space:]]|$)|$)' recipe.sh
    for patch in *.patch; do
      echo "$patch"
      sed -n '/^--- /,$p' "$patch"
    done
  }) | sha256sum | cut -c1-12
}
# ZIELWERK_STACK_KEY overrides the key: only for going on with an unfinished
# build after editing the recipe.
key=${ZIELWERK_STACK_KEY:-$(stack_key)}
prefix=$cache/$key

case ${1:-} in
  --print-prefix) echo "$prefix"; exit 0 ;;
  --print-key) echo "$key"; exit 0 ;;
esac

is_finished() { [ -d "$prefix" ] && [ ! -L "$prefix" ] && [ -f "$prefix/.zielwerk-stack-complete" ]; }

if is_finished; then
  echo "MinGW stack already built, reusing $prefix"
  exit 0
fi

"$here/install-deps.sh"

# Makes the cache folder this user's, through sudo, when the user may not
# write to it or to something in it (it was made by root, or cannot be made
# under /var/cache at all). Root writes everywhere as it is.
take_cache() {
  if [ "$(id -u)" -eq 0 ]; then
    mkdir -p "$cache"
    return
  fi
  mkdir -p "$cache" 2>/dev/null || true
  if [ -w "$cache" ] && [ -z "$(find "$cache" ! -user "$(id -u)" -print -quit 2>/dev/null)" ]; then
    return
  fi
  if ! command -v sudo >/dev/null; then
    echo "ERROR: $cache is not $(id -un)'s and there is no sudo; set ZIELWERK_MINGW_CACHE to a folder of your own" >&2
    exit 1
  fi
  echo "Making $cache $(id -un)'s through sudo"
  sudo mkdir -p "$cache"
  sudo chown -R "$(id -u):$(id -g)" "$cache"
}
take_cache

mkdir -p "$cache/sources"
exec 9>"$cache/.lock"
if ! flock -n 9; then
  echo "Another stack build holds $cache/.lock; waiting for it"
  flock 9
fi
if is_finished; then
  echo "MinGW stack already built, reusing $prefix"
  exit 0
fi

# shellcheck source=scripts/windows/stack/recipe.sh
. "$stack_dir/recipe.sh"

# --- Sources ----------------------------------------------------------------

sources=$cache/sources

verify() { # file sha256
  [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$2" ]
}

# The machine's configured Debian mirror (deb822 .sources or sources.list).
debian_mirror() {
  if [ -n "${ZIELWERK_DEBIAN_MIRROR:-}" ]; then echo "$ZIELWERK_DEBIAN_MIRROR"; return; fi
  local uri
  uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '
      BEGIN { RS = ""; FS = "\n" }
      {
        uris = ""; good = 0
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/) { sub(/^URIs:[ \t]*/, "", $i); split($i, u, /[ \t]+/); uris = u[1] }
          if ($i ~ /^Suites:/ && $i ~ /[ \t]bookworm([ \t]|$)/) good = 1
        }
        if (good && uris != "" && found == "") found = uris
      }
      END { print found }')
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i !~ /\]$/) { if ($(i+1) == "bookworm") { print $i; exit } break } }' /etc/apt/sources.list)
  fi
  echo "${uri:-http://deb.debian.org/debian}"
}

aptdir=""
cleanup_apt() { [ -n "$aptdir" ] && rm -rf "$aptdir"; aptdir=""; }

# A private apt: own sources, lists, cache and state, so the machine's apt set-up
# is neither read for sources nor changed.
private_apt_setup() {
  aptdir=$(mktemp -d /tmp/zielwerk-apt.XXXXXX)
  mkdir -p "$aptdir"/{etc/sources.list.d,etc/apt.conf.d,etc/preferences.d,lists/partial,cache/archives/partial,state}
  local mirror; mirror=$(debian_mirror)
  cat >"$aptdir/etc/sources.list.d/zielwerk.sources" <<EOF
Types: deb-src
URIs: $mirror
Suites: bookworm trixie
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: $mirror
Suites: bookworm
Components: main
Architectures: all
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  apt_opts=(
    -o Dir::Etc="$aptdir/etc" -o Dir::Etc::SourceList=/dev/null
    -o Dir::Etc::SourceParts="$aptdir/etc/sources.list.d"
    -o Dir::Etc::Parts="$aptdir/etc/apt.conf.d"
    -o Dir::Etc::Preferences=/dev/null -o Dir::Etc::PreferencesParts="$aptdir/etc/preferences.d"
    -o Dir::State="$aptdir/state" -o Dir::State::Lists="$aptdir/lists"
    -o Dir::State::status=/var/lib/dpkg/status -o Dir::Cache="$aptdir/cache"
    -o Debug::NoLocking=1 -o APT::Sandbox::User=root -o APT::Architectures::=amd64
    -o Acquire::Languages=none -q
  )
  echo "Fetching source lists from $mirror (private apt configuration)"
  if ! apt-get "${apt_opts[@]}" update >"$aptdir/update.log" 2>&1; then
    cat "$aptdir/update.log" >&2
    echo "ERROR: apt-get update with the private configuration failed" >&2
    exit 1
  fi
}

fetch_sources() {
  local entry id name srcpkg suite file sha missing=0
  for entry in "${packages[@]}"; do
    file=$(field "$entry" 5); sha=$(field "$entry" 6)
    verify "$sources/$file" "$sha" || missing=1
  done
  [ $missing = 0 ] && return 0
  trap cleanup_apt EXIT
  private_apt_setup
  for entry in "${packages[@]}"; do
    id=$(field "$entry" 0); name=$(field "$entry" 1)
    srcpkg=$(field "$entry" 3); suite=$(field "$entry" 4)
    file=$(field "$entry" 5); sha=$(field "$entry" 6)
    verify "$sources/$file" "$sha" && continue
    local dl; dl=$(mktemp -d "$sources/.dl.XXXXXX")
    echo "Downloading $file"
    if [ "$id" = icons ]; then
      (cd "$dl" && apt-get "${apt_opts[@]}" download "$srcpkg/$suite") >"$dl/apt.log" 2>&1 || true
    else
      # The mirror may lack the .dsc and Debian tarball of some trixie packages;
      # only the upstream tarball is needed, so a partial download is fine.
      (cd "$dl" && apt-get "${apt_opts[@]}" source --download-only "$srcpkg/$suite") >"$dl/apt.log" 2>&1 || true
    fi
    if [ ! -f "$dl/$file" ]; then
      cat "$dl/apt.log" >&2
      echo "ERROR: $name: $file did not arrive from the mirror (has $srcpkg in $suite a new version?)" >&2
      rm -rf "$dl"; exit 1
    fi
    if ! verify "$dl/$file" "$sha"; then
      echo "ERROR: $name: SHA-256 of $file is $(sha256sum "$dl/$file" | cut -d' ' -f1), expected $sha" >&2
      rm -rf "$dl"; exit 1
    fi
    mv "$dl/$file" "$sources/$file"
    rm -rf "$dl"
  done
  cleanup_apt
  trap - EXIT
}

fetch_sources

# --- Build set-up -------------------------------------------------------------

partial=$prefix.partial
work=$cache/build-$key
resume=${ZIELWERK_STACK_RESUME:-0}

if [ -L "$prefix" ]; then rm -f "$prefix"; fi
if [ -e "$prefix" ]; then
  echo "Removing unfinished prefix $prefix"; rm -rf "$prefix"
fi
if [ "$resume" != 1 ]; then
  rm -rf "$partial" "$work"
fi
mkdir -p "$partial/logs" "$work"
ln -s "$(basename "$partial")" "$prefix"

# shellcheck disable=SC2317 # run by the EXIT trap
on_exit() {
  local rc=$?
  if [ -L "$prefix" ]; then rm -f "$prefix"; fi
  exit "$rc"
}
trap on_exit EXIT

prepare_prefix

# --- Run ----------------------------------------------------------------------

start_all=$(date +%s)
total=${#packages[@]}
i=0
echo "Building the MinGW GTK stack into $prefix ($total packages, $jobs jobs)"
for entry in "${packages[@]}"; do
  i=$((i + 1))
  id=$(field "$entry" 0); name=$(field "$entry" 1); version=$(field "$entry" 2)
  file=$(field "$entry" 5)
  log=$partial/logs/$id.log
  if [ "$resume" = 1 ] && [ -f "$partial/logs/$id.done" ]; then
    printf '[%d/%d] %s %s … done before\n' "$i" "$total" "$name" "$version"
    continue
  fi
  printf '[%d/%d] %s %s … ' "$i" "$total" "$name" "$version"
  t0=$(date +%s)
  # Not in an if: errexit must stay in force inside the subshell.
  set +e
  ( set -euo pipefail; set -x; "build_$id" ) >"$log" 2>&1
  rc=$?
  set -e
  if [ $rc = 0 ]; then
    touch "$partial/logs/$id.done"
    printf 'ok (%d s)\n' $(( $(date +%s) - t0 ))
  else
    printf 'FAILED (%d s)\n' $(( $(date +%s) - t0 ))
    echo "ERROR: building $name $version failed; its log: $log" >&2
    tail -n 25 "$log" | sed 's/^/  | /' >&2
    echo "The unfinished stack stays in $partial (ZIELWERK_STACK_RESUME=1 goes on from $name)." >&2
    exit 1
  fi
done

# Record what is in the stack, then move it into place.
{
  for entry in "${packages[@]}"; do
    printf '%s %s (Debian %s/%s, %s sha256:%s)\n' "$(field "$entry" 1)" "$(field "$entry" 2)" \
      "$(field "$entry" 3)" "$(field "$entry" 4)" "$(field "$entry" 5)" "$(field "$entry" 6)"
  done
} >"$partial/PACKAGES.txt"
rm -f "$partial"/logs/*.done
elapsed=$(( $(date +%s) - start_all ))
date -u +%Y-%m-%dT%H:%M:%SZ >"$partial/.zielwerk-stack-complete"
rm -f "$prefix"
mv "$partial" "$prefix"
rm -rf "$work"
trap - EXIT
printf 'MinGW stack ready in %s (%d min %d s, %s)\n' "$prefix" $((elapsed / 60)) $((elapsed % 60)) \
  "$(du -sh "$prefix" | cut -f1)"

# What this stack supersedes: the prefixes, unfinished builds and work folders
# of other keys, and the tarballs the recipe no longer names.
for old in "$cache"/*; do
  name=${old##*/}
  [ "$name" = "$key" ] && continue
  if [[ $name =~ ^(build-)?[0-9a-f]{12}(\.partial)?$ ]]; then
    echo "Removing the superseded stack $old"
    rm -rf "$old"
  fi
done
declare -A named=()
for entry in "${packages[@]}"; do named[$(field "$entry" 5)]=1; done
for old in "$cache/sources"/*; do
  [ -f "$old" ] && [ -z "${named[${old##*/}]:-}" ] && { echo "Removing the superseded tarball $old"; rm -f "$old"; }
done
exit 0
