#!/usr/bin/env bash
# Cross-builds the GTK 3 / gtkmm-3.0 stack for Windows x86_64 (MinGW-w64) from
# the upstream tarballs of Debian's source packages.
#
# The stack lands in a fixed prefix outside the checkout,
#   ${ZIELWERK_MINGW_CACHE:-/var/cache/zielwerk-mingw}/<key>/
# where <key> is the start of the SHA-256 of this script and its helper files:
# the paths are baked into the .pc files, and a second run with the same
# script finds the finished prefix and returns at once. The build goes into
# <key>.partial (reached through <key> as a symbolic link, so the baked paths
# are the final ones) and is renamed into place only when every package
# succeeded, so a half-built prefix is never taken for a finished one.
#
# Usage: build-stack.sh                 build or reuse the stack
#        build-stack.sh --print-prefix  print the prefix path and exit
# Environment: ZIELWERK_MINGW_CACHE  cache folder (default /var/cache/zielwerk-mingw)
#              ZIELWERK_JOBS         parallel jobs (default: nproc)
#              ZIELWERK_STACK_RESUME=1  keep an unfinished build and go on
#                                       from the package that failed
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${ZIELWERK_MINGW_CACHE:-/var/cache/zielwerk-mingw}
jobs=${ZIELWERK_JOBS:-$(nproc)}
host=x86_64-w64-mingw32

# The key covers everything that decides what lands in the prefix.
stack_key() {
  (cd "$here" && { echo build-stack.sh; cat build-stack.sh
    { find stack -type f 2>/dev/null || true; } | LC_ALL=C sort | while read -r f; do echo "$f"; cat "$f"; done
  }) | sha256sum | cut -c1-12
}
# ZIELWERK_STACK_KEY overrides the key: only for going on with an unfinished
# build after editing this script.
key=${ZIELWERK_STACK_KEY:-$(stack_key)}
prefix=$cache/$key

if [ "${1:-}" = "--print-prefix" ]; then
  echo "$prefix"
  exit 0
fi

is_finished() { [ -d "$prefix" ] && [ ! -L "$prefix" ] && [ -f "$prefix/.zielwerk-stack-complete" ]; }

if is_finished; then
  echo "MinGW stack already built, reusing $prefix"
  exit 0
fi

"$here/install-deps.sh"

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

# id | shown name | version | Debian source package | suite | tarball | SHA-256
packages=(
  "intl|gettext-runtime/intl|0.21|gettext|bookworm|gettext_0.21.orig.tar.xz|d20fcbb537e02dcf1383197ba05bd0734ef7bf5db06bdb241eb69b7d16b73192"
  "libffi|libffi|3.4.4|libffi|bookworm|libffi_3.4.4.orig.tar.gz|d66c56ad259a82cf2a9dfc408b32bf5da52371500b84745f7fb8b645712df676"
  "pcre2|pcre2|10.42|pcre2|bookworm|pcre2_10.42.orig.tar.gz|c33b418e3b936ee3153de2c61cc638e7e4fe3156022a5c77d0711bcbb9d64f1f"
  "glib|glib|2.74.6|glib2.0|bookworm|glib2.0_2.74.6.orig.tar.xz|069cf7e51cd261eb163aaf06c8d1754c6835f31252180aff5814e5afc7757fbc"
  "pixman|pixman|0.42.2|pixman|bookworm|pixman_0.42.2.orig.tar.gz|ea1480efada2fd948bc75366f7c349e1c96d3297d09a3fe62626e38e234a625e"
  "libpng|libpng|1.6.39|libpng1.6|bookworm|libpng1.6_1.6.39.orig.tar.gz|a00e9d2f2f664186e4202db9299397f851aea71b36a35e74910b8820e380d441"
  "freetype|freetype|2.12.1|freetype|bookworm|freetype_2.12.1+dfsg.orig.tar.xz|7dedb6b9adf331559daea614a83b8de42a753e685ec8e1c4bdb4529eb880b0d1"
  "expat|expat|2.5.0|expat|bookworm|expat_2.5.0.orig.tar.gz|ab00ee05c7067fd10a35c5d2a4922ebba746ddd50ff83b79c828da17bbdf1757"
  "fontconfig|fontconfig|2.14.1|fontconfig|bookworm|fontconfig_2.14.1.orig.tar.xz|298e883f6e11d2c5e6d53c8a8394de58d563902cfab934e6be12fb5a5f361ef0"
  "cairo|cairo|1.16.0|cairo|bookworm|cairo_1.16.0.orig.tar.xz|5e7b29b3f113ef870d1e3ecf8adf21f923396401604bda16d44be45e66052331"
  "harfbuzz|harfbuzz|6.0.0|harfbuzz|bookworm|harfbuzz_6.0.0+dfsg.orig.tar.xz|89266cb363e49b6aa999eda04ca25b0d234a69ad9304679631371f4697652368"
  "fribidi|fribidi|1.0.8|fribidi|bookworm|fribidi_1.0.8.orig.tar.bz2|94c7b68d86ad2a9613b4dcffe7bbeb03523d63b5b37918bdf2e4ef34195c1e6c"
  "pango|pango|1.50.12|pango1.0|bookworm|pango1.0_1.50.12+ds.orig.tar.xz|ec19df0570cf87583ebff514968a958c25031a6f47eb39e8eb06530166ffb239"
  "libjpeg|libjpeg-turbo|2.1.5|libjpeg-turbo|bookworm|libjpeg-turbo_2.1.5.orig.tar.gz|254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c"
  "giflib|giflib|5.2.1|giflib|bookworm|giflib_5.2.1.orig.tar.gz|31da5562f44c5f15d63340a09a4fd62b48c45620cd302f77a6d9acf0077879bd"
  "gdkpixbuf|gdk-pixbuf|2.42.10|gdk-pixbuf|bookworm|gdk-pixbuf_2.42.10+dfsg.orig.tar.xz|46663e445468e92f4a0ca876b02aed4f8758595ee3acfaa6ef3ba2b29e1c1930"
  "epoxy|libepoxy|1.5.10|libepoxy|bookworm|libepoxy_1.5.10.orig.tar.gz|a7ced37f4102b745ac86d6a70a9da399cc139ff168ba6b8002b4d8d43c900c15"
  "atk|atk (at-spi2-core)|2.56.2|at-spi2-core|trixie|at-spi2-core_2.56.2.orig.tar.xz|e1b1c9836a8947852f7440c32e23179234c76bd98cd9cc4001f376405f8b783b"
  "gtk|gtk+|3.24.38|gtk+3.0|bookworm|gtk+3.0_3.24.38.orig.tar.xz|ce11decf018b25bdd8505544a4f87242854ec88be054d9ade5f3a20444dd8ee7"
  "sigc|libsigc++|2.12.0|libsigc++-2.0|bookworm|libsigc++-2.0_2.12.0.orig.tar.xz|4e0b1ac3abe7cdbb7b0b096a5cec0d519ebb1a75b678e7e7c215661d12363a3b"
  "glibmm|glibmm|2.66.8|glibmm2.4|trixie|glibmm2.4_2.66.8.orig.tar.xz|63fe39bb0f6fbd781c5cb02af21519c0451c2284d4969cac94aa5822bc77c2b8"
  "cairomm|cairomm|1.14.5|cairomm|trixie|cairomm_1.14.5.orig.tar.xz|4278f9fd63dbe5904fc7b93b2b72f8812cea8eb879b2da889d66990d22179d0e"
  "pangomm|pangomm|2.46.4|pangomm|trixie|pangomm_2.46.4.orig.tar.xz|2a832526d447481c3c109618c69fea1c22b260bada262ce07a46a98260c94219"
  "atkmm|atkmm|2.28.4|atkmm1.6|trixie|atkmm1.6_2.28.4.orig.tar.xz|8a6e151e9303749609e79cc3e4801153b702998bcf0aab3d9781bb1fdf206944"
  "gtkmm|gtkmm|3.24.10|gtkmm3.0|trixie|gtkmm3.0_3.24.10.orig.tar.xz|430b3ac56fb89e20c7b64207dc6131e4399396332208edb892ce8bc689f5d4ad"
  "icons|adwaita-icon-theme (subset)|43|adwaita-icon-theme|bookworm|adwaita-icon-theme_43-1_all.deb|4b67610565d16b604d3efd9908e8e4b5d71873c5d0f9347433df509020f22af7"
)

# The icon names GTK's own widgets and dialogs ask the theme for; the about box
# and message dialogs also take dialog-* as raster pictures.
icon_names=(
  window-close-symbolic window-minimize-symbolic window-maximize-symbolic window-restore-symbolic
  pan-down-symbolic pan-up-symbolic pan-start-symbolic pan-end-symbolic
  go-up-symbolic go-down-symbolic go-previous-symbolic go-next-symbolic
  list-add-symbolic list-remove-symbolic object-select-symbolic open-menu-symbolic
  checkbox-checked-symbolic checkbox-mixed-symbolic radio-checked-symbolic radio-mixed-symbolic
  image-missing
  dialog-information dialog-information-symbolic dialog-warning dialog-warning-symbolic
  dialog-error dialog-error-symbolic dialog-question dialog-question-symbolic
  document-open-symbolic document-open-recent-symbolic document-save-symbolic document-save-as-symbolic
  folder folder-symbolic folder-new-symbolic folder-documents-symbolic folder-pictures-symbolic
  user-home-symbolic user-desktop-symbolic drive-harddisk-symbolic media-removable-symbolic
  text-x-generic text-x-generic-symbolic image-x-generic image-x-generic-symbolic
  edit-find-symbolic edit-clear-symbolic process-working-symbolic starred-symbolic
)
icon_sizes=(16x16 24x24 32x32 48x48)

field() { local IFS='|'; local -a f; read -r -a f <<<"$1"; echo "${f[$2]}"; }

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
mkdir -p "$partial/logs" "$partial/cross" "$partial/bin" "$partial/lib/pkgconfig" "$partial/include" "$work"
ln -s "$(basename "$partial")" "$prefix"

on_exit() {
  local rc=$?
  if [ -L "$prefix" ]; then rm -f "$prefix"; fi
  exit $rc
}
trap on_exit EXIT

build_triplet=$(gcc -dumpmachine)
cross=$prefix/cross/meson-cross.ini

# pkg-config that sees only the stack.
cat >"$partial/cross/pkg-config" <<EOF
#!/bin/sh
PKG_CONFIG_LIBDIR='$prefix/lib/pkgconfig:$prefix/share/pkgconfig'
export PKG_CONFIG_LIBDIR
unset PKG_CONFIG_PATH PKG_CONFIG_SYSROOT_DIR
exec /usr/bin/pkg-config "\$@"
EOF
chmod +x "$partial/cross/pkg-config"

# Every DLL links libgcc (and C++ libstdc++) statically, so the DLL set holds
# no compiler runtime besides what a program chooses itself. --exclude-libs
# keeps a DLL without export annotations (libsigc++) from exporting the static
# runtime's symbols too, which would clash with the next library's own copy
# (_Unwind_Resume defined twice).
cat >"$partial/cross/meson-cross.ini" <<EOF
[binaries]
c = '$host-gcc-posix'
cpp = '$host-g++-posix'
ar = '$host-ar'
nm = '$host-nm'
strip = '$host-strip'
ranlib = '$host-ranlib'
windres = '$host-windres'
dlltool = '$host-dlltool'
objdump = '$host-objdump'
pkgconfig = '$prefix/cross/pkg-config'
glib-compile-resources = '/usr/bin/glib-compile-resources'
glib-compile-schemas = '/usr/bin/glib-compile-schemas'
glib-genmarshal = '/usr/bin/glib-genmarshal'
glib-mkenums = '/usr/bin/glib-mkenums'
gdbus-codegen = '/usr/bin/gdbus-codegen'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'

[properties]
needs_exe_wrapper = true

[built-in options]
c_args = ['-I$prefix/include']
cpp_args = ['-I$prefix/include']
c_link_args = ['-L$prefix/lib', '-static-libgcc', '-Wl,--exclude-libs,ALL']
cpp_link_args = ['-L$prefix/lib', '-static-libgcc', '-static-libstdc++', '-Wl,--exclude-libs,ALL']
EOF

# zlib comes from Debian's MinGW package; the stack carries its DLL and a .pc.
cp /usr/$host/lib/zlib1.dll "$partial/bin/"
cat >"$partial/lib/pkgconfig/zlib.pc" <<EOF
prefix=/usr/$host
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: zlib
Description: zlib compression library
Version: $(sed -n 's/^Version: *//p' /usr/$host/lib/pkgconfig/zlib.pc)
Libs: -L\${libdir} -lz
Cflags: -I\${includedir}
EOF

export PATH=$prefix/cross:$PATH

# --- Build helpers ------------------------------------------------------------
# Each build_<id> runs in a subshell with its log as stdout and stderr and the
# unpacked source as the working folder.

unpack() { # id file
  rm -rf "${work:?}/$1"
  mkdir -p "$work/$1/src"
  tar -xf "$sources/$2" -C "$work/$1/src" --strip-components=1
  cd "$work/$1/src"
}

meson_build() { # options...
  meson setup "$work/$id/build" . --cross-file "$cross" --prefix "$prefix" --libdir lib \
    --buildtype release --wrap-mode nodownload -Ddefault_library=shared "$@"
  ninja -C "$work/$id/build" -j "$jobs"
  meson install -C "$work/$id/build" --no-rebuild
}

autotools_env() {
  # libtool links shared libraries with -nostdlib and drops -static-libgcc from
  # LDFLAGS; in CC it stays (cairo would otherwise import libgcc_s_seh-1.dll).
  export CC="$host-gcc-posix -static-libgcc" CXX="$host-g++-posix -static-libgcc"
  export AR=$host-ar RANLIB=$host-ranlib
  export STRIP=$host-strip WINDRES=$host-windres RC=$host-windres DLLTOOL=$host-dlltool
  export NM=$host-nm OBJDUMP=$host-objdump
  export PKG_CONFIG=$prefix/cross/pkg-config
  export CFLAGS="-O2" CXXFLAGS="-O2" CPPFLAGS="-I$prefix/include"
  export LDFLAGS="-L$prefix/lib -static-libgcc"
}

configure_cross() { # options...
  autotools_env
  ./configure --host=$host --build="$build_triplet" --prefix="$prefix" \
    --enable-shared --disable-static "$@"
}

cmake_build() { # source-dir options...
  local srcdir=$1; shift
  cmake -S "$srcdir" -B "$work/$id/build" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64 \
    -DCMAKE_C_COMPILER=$host-gcc-posix -DCMAKE_CXX_COMPILER=$host-g++-posix \
    -DCMAKE_RC_COMPILER=$host-windres \
    -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/$host" \
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_SHARED_LINKER_FLAGS=-static-libgcc \
    -DBUILD_SHARED_LIBS=ON "$@"
  ninja -C "$work/$id/build" -j "$jobs"
  ninja -C "$work/$id/build" install
}

# Drops subdir() lines (tests, examples, demos) from a meson.build.
drop_subdirs() { # file dir...
  local file=$1 d; shift
  for d in "$@"; do
    sed -i "/^[[:space:]]*subdir('${d//\//\\/}')/d" "$file"
  done
}

# --- Packages -----------------------------------------------------------------

build_intl() {
  unpack intl "$file"
  cd gettext-runtime
  # libasprintf (C++) is not wanted; without its configure script the
  # sub-configure is skipped.
  rm -f libasprintf/configure
  # Only the intl library is wanted: no iconv on Windows, so libintl hands out
  # the catalogues' own UTF-8 text as GLib asks for it.
  am_cv_func_iconv=no configure_cross --disable-java --disable-csharp --disable-libasprintf \
    --disable-c++ --disable-openmp --enable-threads=windows --with-included-gettext \
    --without-libiconv-prefix --without-libintl-prefix --disable-rpath
  make -C intl -j "$jobs"
  make -C intl install
}

build_libffi() {
  unpack libffi "$file"
  configure_cross --disable-docs --disable-multi-os-directory
  make -j "$jobs"
  make install
}

build_pcre2() {
  unpack pcre2 "$file"
  configure_cross --enable-pcre2-8 --disable-pcre2-16 --disable-pcre2-32 --enable-unicode \
    --disable-pcre2grep-libz --disable-pcre2grep-libbz2
  make -j "$jobs"
  make install
}

build_glib() {
  unpack glib "$file"
  meson_build -Dtests=false -Dinstalled_tests=false -Dman=false -Dgtk_doc=false \
    -Dnls=enabled -Dlibmount=disabled -Dselinux=disabled -Dxattr=false \
    -Dlibelf=disabled -Dsysprof=disabled -Ddtrace=false -Dsystemtap=false \
    -Doss_fuzz=disabled
}

build_pixman() {
  unpack pixman "$file"
  meson_build -Dtests=disabled -Dgtk=disabled -Dlibpng=disabled -Dopenmp=disabled
}

build_libpng() {
  unpack libpng "$file"
  configure_cross
  make -j "$jobs"
  make install
}

build_freetype() {
  unpack freetype "$file"
  # Without HarfBuzz: HarfBuzz is built on top of FreeType afterwards.
  meson_build -Dharfbuzz=disabled -Dpng=enabled -Dzlib=system -Dbzip2=disabled \
    -Dbrotli=disabled -Dtests=disabled
}

build_expat() {
  unpack expat "$file"
  cmake_build expat -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_SHARED_LIBS=ON
}

build_fontconfig() {
  unpack fontconfig "$file"
  meson_build -Ddoc=disabled -Dtests=disabled -Dtools=disabled -Dcache-build=disabled -Dnls=disabled
}

build_cairo() {
  unpack cairo "$file"
  ax_cv_c_float_words_bigendian=no configure_cross \
    --enable-win32 --enable-win32-font --enable-png --enable-ft --enable-fc --enable-gobject \
    --disable-xlib --disable-xlib-xrender --disable-xcb --disable-quartz --disable-gl \
    --disable-glesv2 --disable-egl --disable-trace --disable-interpreter \
    --disable-symbol-lookup --disable-full-testing --disable-gtk-doc --disable-valgrind
  # cairo 1.16 forces _FORTIFY_SOURCE, which leaves __memcpy_chk and friends
  # undefined with MinGW's runtime.
  find . -name Makefile -exec sed -i 's/-Wp,-D_FORTIFY_SOURCE=2//g' {} +
  make -C src -j "$jobs"
  make -C src install
  make -C util/cairo-gobject -j "$jobs"
  make -C util/cairo-gobject install
}

build_harfbuzz() {
  unpack harfbuzz "$file"
  drop_subdirs meson.build util
  meson_build -Dtests=disabled -Ddocs=disabled -Dintrospection=disabled -Dbenchmark=disabled \
    -Dicu=disabled -Dcairo=disabled -Dchafa=disabled -Dgraphite=disabled \
    -Dfreetype=enabled -Dglib=enabled -Dgobject=disabled -Dgdi=enabled
}

build_fribidi() {
  unpack fribidi "$file"
  drop_subdirs meson.build bin test
  meson_build -Ddocs=false
}

build_pango() {
  unpack pango "$file"
  drop_subdirs meson.build examples tests utils tools
  meson_build -Dintrospection=disabled -Dgtk_doc=false -Dinstall-tests=false \
    -Dfontconfig=enabled -Dfreetype=enabled -Dcairo=enabled -Dlibthai=disabled \
    -Dxft=disabled -Dsysprof=disabled
}

build_libjpeg() {
  unpack libjpeg "$file"
  cmake_build . -DENABLE_STATIC=OFF -DENABLE_SHARED=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_JPEG8=OFF -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_INSTALL_LIBDIR="$prefix/lib"  # its own GNUInstallDirs takes "lib" as below the source
}

build_giflib() {
  unpack giflib "$file"
  # giflib has no build for Windows: compile the library sources directly.
  local srcs=(dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c openbsd-reallocarray.c quantize.c)
  $host-gcc-posix -O2 -Wall -shared -static-libgcc -o libgif-7.dll "${srcs[@]}" \
    -Wl,--out-implib,libgif.dll.a
  install -m 644 libgif-7.dll "$prefix/bin/"
  install -m 644 libgif.dll.a "$prefix/lib/"
  install -m 644 gif_lib.h "$prefix/include/"
  local v; v=$(awk '/#define GIFLIB_MAJOR/{a=$3} /#define GIFLIB_MINOR/{b=$3} /#define GIFLIB_RELEASE/{c=$3} END{print a"."b"."c}' gif_lib.h)
  cat >"$prefix/lib/pkgconfig/libgif.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: libgif
Description: Loading and saving GIF pictures
Version: $v
Libs: -L\${libdir} -lgif
Cflags: -I\${includedir}
EOF
}

build_gdkpixbuf() {
  unpack gdkpixbuf "$file"
  # Every loader built in: no loader modules and no loaders.cache to ship.
  meson_build -Dpng=enabled -Djpeg=enabled -Dtiff=disabled -Dbuiltin_loaders=all \
    -Dgtk_doc=false -Ddocs=false -Dintrospection=disabled -Dman=false -Drelocatable=true \
    -Dnative_windows_loaders=false -Dtests=false -Dinstalled_tests=false
}

build_epoxy() {
  unpack epoxy "$file"
  meson_build -Ddocs=false -Dtests=false -Dglx=no -Degl=no -Dx11=false
}

build_atk() {
  unpack atk "$file"
  # With atk_only the library never reads XML, but the check still insists on libxml2.
  sed -i "s/^libxml_dep = dependency('libxml-2.0', version: libxml_req_version)/libxml_dep = dependency('libxml-2.0', version: libxml_req_version, required: not get_option('atk_only'))/" meson.build
  grep -q "required: not get_option('atk_only'))" meson.build
  meson_build -Datk_only=true -Dintrospection=disabled -Ddocs=false -Dx11=disabled
}

build_gtk() {
  unpack gtk "$file"
  # No print backends: on Windows GTK prints through its Win32 print dialog.
  meson_build -Dx11_backend=false -Dwayland_backend=false -Dbroadway_backend=false \
    -Dwin32_backend=true -Dquartz_backend=false -Dxinerama=no -Dcloudproviders=false \
    -Dprofiler=false -Dtracker3=false -Dcolord=no -Dprint_backends= \
    -Dbuiltin_immodules=all -Dgtk_doc=false -Dman=false -Dintrospection=false \
    -Ddemos=false -Dexamples=false -Dtests=false -Dinstalled_tests=false
}

# The *mm tarballs are snapshots without generated code: maintainer mode makes
# it with mm-common, m4 and perl.
mm_build() { # options...
  drop_subdirs meson.build tests examples demos/gtk-demo
  meson_build -Dmaintainer-mode=true -Dbuild-documentation=false -Dbuild-deprecated-api=true "$@"
}

build_sigc() { unpack sigc "$file"; mm_build -Dbuild-examples=false -Dbuild-tests=false -Dvalidation=false -Dbenchmark=false; }
build_glibmm() { unpack glibmm "$file"; mm_build -Dbuild-examples=false; }
build_cairomm() { unpack cairomm "$file"; mm_build -Dbuild-examples=false -Dbuild-tests=false; }
build_pangomm() { unpack pangomm "$file"; mm_build; }
build_atkmm() { unpack atkmm "$file"; mm_build; }
build_gtkmm() { unpack gtkmm "$file"; mm_build -Dbuild-demos=false -Dbuild-tests=false -Dbuild-x11-api=false -Dbuild-atkmm-api=true; }

build_icons() {
  rm -rf "${work:?}/icons"; mkdir -p "$work/icons"; cd "$work/icons"
  dpkg-deb -x "$sources/$file" deb
  local from=deb/usr/share/icons/Adwaita to=$prefix/share/icons/Adwaita size n f
  mkdir -p "$to"
  for size in "${icon_sizes[@]}"; do
    for n in "${icon_names[@]}"; do
      for f in "$from/$size"/*/"$n".png "$from/$size"/*/"$n".symbolic.png \
               "$from/$size"/*/"$n"-rtl.symbolic.png "$from/$size"/*/"$n"-ltr.symbolic.png; do
        [ -f "$f" ] || continue
        mkdir -p "$to/${f#"$from"/}" && rmdir "$to/${f#"$from"/}"
        cp "$f" "$to/${f#"$from"/}"
      done
    done
  done
  # index.theme naming only the folders that are kept.
  python3 - "$from/index.theme" "$to" <<'EOF'
import os, sys
src, dest = sys.argv[1], sys.argv[2]
sections, order, cur = {}, [], None
for line in open(src, encoding="utf-8"):
    line = line.rstrip("\n")
    if line.startswith("[") and line.endswith("]"):
        cur = line[1:-1]; order.append(cur); sections[cur] = []
    elif cur is not None:
        sections[cur].append(line)
kept = [s for s in order if s != "Icon Theme" and os.path.isdir(os.path.join(dest, s))]
with open(os.path.join(dest, "index.theme"), "w", encoding="utf-8") as out:
    out.write("[Icon Theme]\n")
    for line in sections["Icon Theme"]:
        if line.startswith("Directories="):
            line = "Directories=" + ",".join(kept)
        elif line.startswith("ScaledDirectories="):
            continue
        out.write(line + "\n")
    for s in kept:
        out.write("[%s]\n" % s)
        out.write("\n".join(sections[s]).rstrip("\n") + "\n\n")
EOF
  mkdir -p "$prefix/share/icons/hicolor"
  printf '[Icon Theme]\nName=Hicolor\nComment=Fallback icon theme\nHidden=true\nDirectories=\n' \
    >"$prefix/share/icons/hicolor/index.theme"
  mkdir -p "$prefix/share/licenses/adwaita-icon-theme"
  cp deb/usr/share/doc/adwaita-icon-theme/copyright "$prefix/share/licenses/adwaita-icon-theme/"
  test -f "$to/48x48/legacy/dialog-information.png"
}

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
