#!/usr/bin/env bash
# Cross-builds what the Windows build links and Debian packages for Linux only, for
# 64-bit Windows with MinGW-w64 from Debian's own sources: wxWidgets 3.2 (MSW port,
# DLLs) with zlib and libpng for its PNG support, and GoogleTest; and gives the header-only nlohmann-json a prefix of its own, outside /usr.
# Each lands in a cache prefix named by its version, outside the checkout, and counts
# as present only once its stamp (written last) exists; a rerun then only prints.
#
# stdout is one line per prefix, NAME=PATH, everything else goes to stderr:
#   gtest=...  wx=...  json=...
# (zlib and libpng are inside the toolkit's DLLs, so nobody else needs them.)
# $ZAVUD_CACHE (/var/cache/zavud) also holds links wx-msw, gtest-mingw and
# json-mingw to the current prefixes (cmake/mingw-w64-x86_64.cmake
# defaults to them), a booted wine prefix (wineprefix) and the build logs (logs/).
# The sources are built in work folders /var/tmp/zavud-NAME.*, removed when the run
# ends (a killed run's by the next one); runs going at the same time leave each
# other's alone.
#
# Running what is built, under wine: besides $wx/bin (the wx DLLs), WINEPATH needs the MinGW runtime DLLs, which the DLLs and every
# exe link against:
#   /usr/lib/gcc/x86_64-w64-mingw32/12-posix   libstdc++-6.dll, libgcc_s_seh-1.dll
#   /usr/x86_64-w64-mingw32/lib                libwinpthread-1.dll
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${ZAVUD_CACHE:-/var/cache/zavud}
triple=x86_64-w64-mingw32
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

[ "$(id -u)" -eq 0 ] || { echo "run as root (installs packages, writes $cache)" >&2; exit 1; }

# The toolchain, the tools to fetch and build Debian's sources, the -dev
# packages whose versions name the caches below, and Wine (install-deps.sh,
# job windows): installed before their versions are read.
"$repo/scripts/install-deps.sh" windows >&2

upstream() { dpkg-query -W -f='${source:Upstream-Version}' "$1" | sed 's/[+.]dfsg.*//'; }
debian_version() { dpkg-query -W -f='${source:Version}' "$1"; }
# The native build's libraries (the -dev packages) fix the versions, so both builds
# match: wx 3.2 from libwxgtk3.2-dev, and so on.
zlib_prefix=$cache/zlib-mingw-$(upstream zlib1g-dev)
png_prefix=$cache/libpng-mingw-$(upstream libpng-dev)
json_prefix=$cache/json-mingw-$(upstream nlohmann-json3-dev)
gtest_prefix=$cache/gtest-mingw-$(upstream googletest)
stamp=.zavud-complete

# Only base and core are used, and of core only what the plug-in, the programs
# and the tests link: everything else is switched off, which roughly halves the
# build (CI builds it on every machine with an empty cache). The +dfsg source
# lacks the bundled image, zlib and expat libraries: PNG support comes from the
# zlib and libpng built here (linked into the core DLL statically), the rest
# goes, and SVG output with it. Optimised, for delivery; precompiled headers
# keep the build time down.
wx_flags=(--with-msw --enable-shared --with-cxx=17 --enable-uiactionsim --enable-pch
    --enable-optimise --with-libpng=sys --with-zlib=sys
    --without-libjpeg --without-libtiff --without-expat
    --without-regex --without-liblzma --without-opengl --without-subdirs
    --disable-webview --disable-mediactrl --disable-stc --disable-richtext --disable-xrc
    --disable-html --disable-aui --disable-propgrid --disable-ribbon
    --disable-webrequest --disable-sockets --disable-protocols --disable-url
    --disable-ipc --disable-fs_inet --disable-debugreport --disable-tests --disable-svg
    # Not linked by anything of ours: documents, help and printing; controls,
    # pickers and dialogs the panel and the reference host never make; image
    # formats other than PNG, BMP, XPM and ICO; archives and system services.
    --disable-docview --disable-mdi --disable-mdidoc --disable-help --disable-mshtmlhelp
    --disable-htmlhelp --disable-printarch --disable-postscript --disable-metafile
    --disable-grid --disable-dataviewctrl --disable-calendar --disable-datepick
    --disable-timepick --disable-treelist --disable-animatectrl --disable-bannerwindow
    --disable-collpane --disable-commandlinkbutton --disable-addremovectrl
    --disable-actindicator --disable-editablebox --disable-filectrl --disable-fontpicker
    --disable-colourpicker --disable-dirpicker --disable-filepicker --disable-hyperlink
    --disable-infobar --disable-notifmsg --disable-odcombobox --disable-bmpcombobox
    --disable-rearrangectrl --disable-richtooltip --disable-searchctrl --disable-sash
    --disable-splash --disable-tipwindow --disable-tipdlg --disable-wizarddlg
    --disable-treebook --disable-toolbook --disable-listbook --disable-choicebook
    --disable-prefseditor --disable-taskbaricon --disable-richmsgdlg --disable-aboutdlg
    --disable-creddlg --disable-finddlg --disable-numberdlg --disable-busyinfo
    --disable-hotkey --disable-dragimage --disable-joystick --disable-sound
    --disable-gif --disable-pcx --disable-tga --disable-iff --disable-pnm
    --disable-fs_archive --disable-fs_zip --disable-tarstream --disable-zipstream
    --disable-fswatcher --disable-secretstore --disable-spellcheck --disable-dialupman)
# The folder is named by the version and by a hash of the flags and of the libraries
# it links, so a build made otherwise is never taken for this one.
wx_deb=$(debian_version libwxgtk3.2-dev)
wx_hash=$(printf '%s\n' "${wx_flags[@]}" "$zlib_prefix" "$png_prefix" | sha256sum | cut -c1-8)
wx_prefix=$cache/wx-msw-$(upstream libwxgtk3.2-dev)-$wx_hash

log_dir=$cache/logs
mkdir -p "$log_dir"
# Full output to a log; on failure its tail, so a broken build says why.
logged() {
    local log=$log_dir/$1; shift
    "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "failed: $* (log: $log)" >&2; return 1; }
}

# deb-src for the same archives the machine already uses, in a file of our own.
deb_src_ready=
enable_deb_src() {
    [ -z "$deb_src_ready" ] || return 0
    local sources=/etc/apt/sources.list.d/zavud-deb-src.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources"
    else
        local codename
        # shellcheck disable=SC1091
        codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
        printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$codename" "$codename" >"$sources"
    fi
    apt-get -o DPkg::Lock::Timeout=600 update -qq >&2
    deb_src_ready=1
}

# make_work_folder: each build's tree, removed when this run ends however it
# ends, and apart from those of a run going at the same time.
# shellcheck source=scripts/lib/work-folders.sh
. "$repo/scripts/lib/work-folders.sh"

# fetch_source NAME SOURCE_PACKAGE VERSION: unpacks Debian's source into a fresh work
# folder (/var/tmp/zavud-NAME.*) and sets $work and $src. When the archive no longer
# has that revision (a security update replaced it), the newest revision of the same
# upstream version that it has.
fetch_source() {
    enable_deb_src
    make_work_folder "$1"
    # apt fetches as _apt when it may write there, and warns otherwise.
    chown _apt "$work" 2>/dev/null || true
    local upstream_version=${3#*:} version
    upstream_version=${upstream_version%-*}
    for version in "$3" $(apt-cache showsrc "$2" | sed -n 's/^Version: //p' | sort -rV); do
        case ${version#*:} in "$upstream_version"-*) ;; *) continue ;; esac
        if (cd "$work" && apt-get source -qq "$2=$version" >&2); then
            [ "$version" = "$3" ] || echo "took $2 $version: $3 is no longer in the archive" >&2
            src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$2-*")
            return 0
        fi
        rm -rf "${work:?}"/*
    done
    echo "no source of $2 $upstream_version in the archive" >&2
    return 1
}

cross_configure=("--host=$triple" --build="$(dpkg-architecture -qDEB_BUILD_GNU_TYPE)"
    "CC=$triple-gcc-posix" "CXX=$triple-g++-posix" "PKG_CONFIG=/usr/bin/$triple-pkg-config")

build_zlib() {
    echo "building zlib for $triple into $zlib_prefix" >&2
    fetch_source zlib zlib "$(debian_version zlib1g-dev)"
    # The +dfsg source has neither win32/Makefile.gcc nor a configure that takes
    # MinGW: the library is its top-level C files. Static, so it ends up inside the
    # toolkit's core DLL.
    rm -rf "$zlib_prefix"
    mkdir -p "$zlib_prefix/include" "$zlib_prefix/lib" "$work/build"
    cd "$work/build"
    # shellcheck disable=SC2016 # expanded by the inner shell
    logged zlib-build.log bash -c 'for c in "$1"/*.c; do "$2" -O2 -c "$c" || exit; done' \
        sh "$src" "$triple-gcc-posix"
    logged zlib-ar.log $triple-ar rcs "$zlib_prefix/lib/libz.a" ./*.o
    cp "$src/zlib.h" "$src/zconf.h" "$zlib_prefix/include/"
    # libpng's pkg-config file requires zlib's.
    mkdir "$zlib_prefix/lib/pkgconfig"
    # shellcheck disable=SC2016 # ${prefix} is pkg-config's
    printf 'prefix=%s\nName: zlib\nDescription: zlib compression library\nVersion: %s\nLibs: -L${prefix}/lib -lz\nCflags: -I${prefix}/include\n' \
        "$zlib_prefix" "$(upstream zlib1g-dev)" >"$zlib_prefix/lib/pkgconfig/zlib.pc"
    cd /
    rm -rf "$work"
    touch "$zlib_prefix/$stamp"
}

build_png() {
    echo "building libpng for $triple into $png_prefix" >&2
    fetch_source libpng libpng1.6 "$(debian_version libpng-dev)"
    rm -rf "$png_prefix"
    mkdir "$work/build"
    cd "$work/build"
    logged png-configure.log "$src/configure" --prefix="$png_prefix" "${cross_configure[@]}" \
        --disable-shared --enable-static --disable-tools \
        CPPFLAGS="-I$zlib_prefix/include" LDFLAGS="-L$zlib_prefix/lib"
    logged png-make.log make -j"$jobs"
    logged png-install.log make install
    cd /
    rm -rf "$work"
    touch "$png_prefix/$stamp"
}

# The package's headers and CMake package as they are (they are the same on every
# system), in a prefix of their own: the cross build may look under no part of /usr.
build_json() {
    echo "copying nlohmann-json into $json_prefix" >&2
    rm -rf "$json_prefix"
    mkdir -p "$json_prefix/include" "$json_prefix/share/cmake"
    cp -r /usr/include/nlohmann "$json_prefix/include/"
    cp -r /usr/share/cmake/nlohmann_json "$json_prefix/share/cmake/"
    touch "$json_prefix/$stamp"
}

build_wx() {
    echo "building wxWidgets $wx_deb for $triple into $wx_prefix" >&2
    fetch_source wx wxwidgets3.2 "$wx_deb"
    mkdir "$work/build"
    cd "$work/build"
    rm -rf "$wx_prefix"
    local started=$SECONDS
    logged wx-configure.log "$src/configure" --prefix="$wx_prefix" "${cross_configure[@]}" \
        "${wx_flags[@]}" CPPFLAGS="-I$zlib_prefix/include -I$png_prefix/include" \
        LDFLAGS="-L$zlib_prefix/lib -L$png_prefix/lib" \
        PKG_CONFIG_PATH="$png_prefix/lib/pkgconfig:$zlib_prefix/lib/pkgconfig"
    logged wx-make.log make -j"$jobs"
    logged wx-install.log make install
    echo "wxWidgets built in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s" >&2
    cd /
    rm -rf "$work"
    touch "$wx_prefix/$stamp"
}

build_gtest() {
    echo "building GoogleTest for $triple into $gtest_prefix" >&2
    make_work_folder gtest
    rm -rf "$gtest_prefix"
    # Static libraries: one DLL fewer to put on WINEPATH.
    logged gtest-configure.log cmake -S /usr/src/googletest -B "$work" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$gtest_prefix" -DBUILD_SHARED_LIBS=OFF
    logged gtest-build.log cmake --build "$work" -j"$jobs"
    logged gtest-install.log cmake --install "$work"
    rm -rf "$work"
    touch "$gtest_prefix/$stamp"
}

# Not `[ ... ] || build_wx`: errexit does not reach inside a function called that way.
if [ ! -f "$zlib_prefix/$stamp" ]; then build_zlib; fi
if [ ! -f "$png_prefix/$stamp" ]; then build_png; fi
if [ ! -f "$wx_prefix/$stamp" ]; then build_wx; fi
if [ ! -f "$json_prefix/$stamp" ]; then build_json; fi
if [ ! -f "$gtest_prefix/$stamp" ]; then build_gtest; fi
# A fresh wine prefix costs half a minute of wineboot and ~700 MB; tests share this one
# (WINEPREFIX=$cache/wineprefix). mscoree/mshtml off, or wineboot offers to install
# Mono and Gecko. Wine also expects a display while booting the prefix.
wineprefix=$cache/wineprefix
if [ ! -f "$wineprefix/$stamp" ]; then
    echo "creating the wine prefix $wineprefix" >&2
    rm -rf "$wineprefix"
    WINEPREFIX=$wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        logged wineboot.log xvfb-run -a wine wineboot --init
    WINEPREFIX=$wineprefix wineserver -w
    touch "$wineprefix/$stamp"
fi

# A crash under wine prints its backtrace and ends the program, instead of waiting in
# a dialog nobody sees. (Checked on every run: older prefixes lack it.)
if ! grep -q '"ShowCrashDialog"=dword:00000000' "$wineprefix/user.reg" 2>/dev/null; then
    WINEPREFIX=$wineprefix WINEDEBUG=-all logged wine-registry.log \
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    WINEPREFIX=$wineprefix wineserver -w
fi

ln -sfn "$wx_prefix" "$cache/wx-msw"
ln -sfn "$gtest_prefix" "$cache/gtest-mingw"
ln -sfn "$json_prefix" "$cache/json-mingw"

echo "gtest=$gtest_prefix"
echo "wx=$wx_prefix"
echo "json=$json_prefix"
