# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The recipe of the MinGW GTK stack, sourced by build-stack.sh: which packages
# from which tarballs, and how each is configured and built. Together with the
# patches beside it (<id>.patch, applied to the unpacked source of package
# <id>) it decides what lands in the prefix, and the stack's cache key is made
# from it: every line but blank lines and comment lines counts, so keep
# comments on lines of their own. Debian 12's cross compilers and build tools
# are taken as given.
#
# prefix, work, sources, stack_dir, jobs, host, id and file come from
# build-stack.sh, which also reads the table of packages; each build_<id> runs
# under errexit.
# shellcheck disable=SC2154,SC2034,SC2164

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

# --- The prefix ---------------------------------------------------------------

# The compilers' settings in <prefix>/cross and zlib, before the first package.
prepare_prefix() {
  build_triplet=$(gcc -dumpmachine)
  cross=$prefix/cross/meson-cross.ini
  mkdir -p "$prefix/cross" "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include"

  # pkg-config that sees only the stack.
  cat >"$prefix/cross/pkg-config" <<EOF
#!/bin/sh
PKG_CONFIG_LIBDIR='$prefix/lib/pkgconfig:$prefix/share/pkgconfig'
export PKG_CONFIG_LIBDIR
unset PKG_CONFIG_PATH PKG_CONFIG_SYSROOT_DIR
exec /usr/bin/pkg-config "\$@"
EOF
  chmod +x "$prefix/cross/pkg-config"

  # Every DLL links libgcc (and C++ libstdc++) statically, so the DLL set holds
  # no compiler runtime besides what a program chooses itself. --exclude-libs
  # keeps a DLL without export annotations (libsigc++) from exporting the static
  # runtime's symbols too, which would clash with the next library's own copy
  # (_Unwind_Resume defined twice).
  cat >"$cross" <<EOF
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
  cp "/usr/$host/lib/zlib1.dll" "$prefix/bin/"
  cat >"$prefix/lib/pkgconfig/zlib.pc" <<EOF
prefix=/usr/$host
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: zlib
Description: zlib compression library
Version: $(sed -n 's/^Version: *//p' "/usr/$host/lib/pkgconfig/zlib.pc")
Libs: -L\${libdir} -lz
Cflags: -I\${includedir}
EOF

  export PATH=$prefix/cross:$PATH
}

# --- Build helpers ------------------------------------------------------------
# Each build_<id> runs in a subshell with its log as stdout and stderr and the
# unpacked source as the working folder.

# Unpacks the tarball `file` of package `id` and applies stack/<id>.patch to it.
unpack() { # id file
  rm -rf "${work:?}/$1"
  mkdir -p "$work/$1/src"
  tar -xf "$sources/$2" -C "$work/$1/src" --strip-components=1
  cd "$work/$1/src"
  if [ -f "$stack_dir/$1.patch" ]; then
    patch -p1 --forward --no-backup-if-mismatch <"$stack_dir/$1.patch"
  fi
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
  ./configure --host="$host" --build="$build_triplet" --prefix="$prefix" \
    --enable-shared --disable-static "$@"
}

cmake_build() { # source-dir options...
  local srcdir=$1; shift
  cmake -S "$srcdir" -B "$work/$id/build" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64 \
    -DCMAKE_C_COMPILER="$host-gcc-posix" -DCMAKE_CXX_COMPILER="$host-g++-posix" \
    -DCMAKE_RC_COMPILER="$host-windres" \
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

# --- Packages -----------------------------------------------------------------

build_intl() {
  unpack intl "$file"
  cd gettext-runtime
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
  make -C src -j "$jobs"
  make -C src install
  make -C util/cairo-gobject -j "$jobs"
  make -C util/cairo-gobject install
}

build_harfbuzz() {
  unpack harfbuzz "$file"
  meson_build -Dtests=disabled -Ddocs=disabled -Dintrospection=disabled -Dbenchmark=disabled \
    -Dicu=disabled -Dcairo=disabled -Dchafa=disabled -Dgraphite=disabled \
    -Dfreetype=enabled -Dglib=enabled -Dgobject=disabled -Dgdi=enabled
}

build_fribidi() {
  unpack fribidi "$file"
  meson_build -Ddocs=false
}

build_pango() {
  unpack pango "$file"
  meson_build -Dintrospection=disabled -Dgtk_doc=false -Dinstall-tests=false \
    -Dfontconfig=enabled -Dfreetype=enabled -Dcairo=enabled -Dlibthai=disabled \
    -Dxft=disabled -Dsysprof=disabled
}

build_libjpeg() {
  unpack libjpeg "$file"
  # An absolute libdir: libjpeg-turbo's own GNUInstallDirs takes "lib" as
  # below the source.
  cmake_build . -DENABLE_STATIC=OFF -DENABLE_SHARED=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_JPEG8=OFF -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_INSTALL_LIBDIR="$prefix/lib"
}

build_giflib() {
  unpack giflib "$file"
  # giflib has no build for Windows: compile the library sources directly.
  local srcs=(dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c openbsd-reallocarray.c quantize.c)
  "$host-gcc-posix" -O2 -Wall -shared -static-libgcc -o libgif-7.dll "${srcs[@]}" \
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
