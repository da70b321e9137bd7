#!/usr/bin/env bash
# Cross-builds wxWidgets 3.2 (MSW port, DLLs) and GoogleTest for 64-bit Windows with
# MinGW-w64, from Debian's own sources: Debian packages neither for that target.
# Each lands in a cache prefix named by its version, outside the checkout, and counts
# as present only once its stamp (written last) exists; a rerun then only prints.
#
# stdout is exactly two lines, everything else goes to stderr:
#   the GoogleTest prefix, then the wxWidgets prefix (the last line).
# $ZAVUD_CACHE (/var/cache/zavud) also holds links wx-msw and gtest-mingw to the
# current prefixes (cmake/mingw-w64-x86_64.cmake defaults to them), a booted wine
# prefix (wineprefix) and the build logs (logs/).
#
# Running what is built, under wine: besides $wx/bin (the wx DLLs), WINEPATH needs the
# MinGW runtime DLLs, which the wx DLLs and every exe link against:
#   /usr/lib/gcc/x86_64-w64-mingw32/12-posix   libstdc++-6.dll, libgcc_s_seh-1.dll
#   /usr/x86_64-w64-mingw32/lib                libwinpthread-1.dll
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${ZAVUD_CACHE:-/var/cache/zavud}
triple=x86_64-w64-mingw32
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

[ "$(id -u)" -eq 0 ] || { echo "run as root (installs packages, writes $cache)" >&2; exit 1; }

# mingw-w64-tools brings the target's pkg-config, so wx's configure never sees the host's
# Linux libraries. googletest is the source tree in /usr/src; wine runs what gets built.
"$repo/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev make \
    xz-utils googletest wine wine64 >&2

upstream() { dpkg-query -W -f='${source:Upstream-Version}' "$1" | sed 's/+dfsg.*//'; }
# The native build's wx (libwxgtk3.2-dev) fixes the version, so both ports match.
wx_deb=$(dpkg-query -W -f='${source:Version}' libwxgtk3.2-dev)
wx_prefix=$cache/wx-msw-$(upstream libwxgtk3.2-dev)
gtest_prefix=$cache/gtest-mingw-$(upstream googletest)
stamp=.zavud-complete

log_dir=$cache/logs
mkdir -p "$log_dir"
# Full output to a log; on failure its tail, so a broken build says why.
logged() {
    local log=$log_dir/$1; shift
    "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "failed: $* (log: $log)" >&2; return 1; }
}

build_wx() {
    echo "building wxWidgets $wx_deb for $triple into $wx_prefix" >&2
    # deb-src for the same archives the machine already uses, in a file of our own.
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
    apt-get update -qq >&2

    # A failed run leaves its tree for a look; by now it is only in the way.
    rm -rf /var/tmp/zavud-wx.*
    local work
    work=$(mktemp -d /var/tmp/zavud-wx.XXXXXX)
    # apt fetches as _apt when it may write there, and warns otherwise.
    chown _apt "$work" 2>/dev/null || true
    (cd "$work" && apt-get source -qq "wxwidgets3.2=$wx_deb" >&2)
    local src
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'wxwidgets3.2-*')
    mkdir "$work/build"
    cd "$work/build"
    # Only base and core are used. The +dfsg source lacks the bundled image, zlib and
    # expat libraries, so those go, and SVG output with them (it needs libpng); the rest
    # of the list saves build time on parts nobody links. Precompiled headers and no
    # optimisation: the toolkit is built for tests, and so it builds in a fraction of
    # the time (CI builds it on every fresh machine).
    rm -rf "$wx_prefix"
    logged wx-configure.log "$src/configure" --prefix="$wx_prefix" \
        --host=$triple --build="$(dpkg-architecture -qDEB_BUILD_GNU_TYPE)" \
        CC=$triple-gcc-posix CXX=$triple-g++-posix PKG_CONFIG=/usr/bin/$triple-pkg-config \
        --with-msw --enable-shared --with-cxx=17 --enable-uiactionsim --enable-pch --disable-optimise \
        --without-libpng --without-libjpeg --without-libtiff --without-zlib --without-expat \
        --without-regex --without-liblzma --without-opengl --without-subdirs \
        --disable-webview --disable-mediactrl --disable-stc --disable-richtext --disable-xrc \
        --disable-html --disable-aui --disable-propgrid --disable-ribbon \
        --disable-webrequest --disable-sockets --disable-protocols --disable-url \
        --disable-ipc --disable-fs_inet --disable-debugreport --disable-tests --disable-svg
    logged wx-make.log make -j"$jobs"
    logged wx-install.log make install
    cd /
    rm -rf "$work"
    touch "$wx_prefix/$stamp"
}

build_gtest() {
    echo "building GoogleTest for $triple into $gtest_prefix" >&2
    rm -rf /var/tmp/zavud-gtest.*
    local work
    work=$(mktemp -d /var/tmp/zavud-gtest.XXXXXX)
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
if [ ! -f "$wx_prefix/$stamp" ]; then build_wx; fi
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

echo "$gtest_prefix"
echo "$wx_prefix"
