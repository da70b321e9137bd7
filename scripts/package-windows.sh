#!/usr/bin/env bash
# The Windows packages, from a Windows build folder (scripts/build-windows.sh:
# after scripts/test-windows.sh nothing is built again), into BUILD/packages/:
#   zavud_pri_rivezavode-VERSION-win64.msi      the Windows Installer package: plug-in,
#                                               programs, examples, catalogs, docs and
#                                               every DLL they need
#   zavud_pri_rivezavode-dev-VERSION-win64.zip  the developer archive, for host makers
#                                               who build with MinGW-w64: the plug-in,
#                                               headers, import libraries, CMake package,
#                                               pkg-config file, docs
# Prints their paths and sizes. Installs wixl when it is missing.
#
#   scripts/package-windows.sh [BUILD]                          (default build-win)
#   scripts/package-windows.sh --version X.Y.Z --output DIR [BUILD]
#   scripts/package-windows.sh --check-version X.Y.Z
#
# The second form makes only the installer, of another product version, in DIR
# (scripts/test-windows-install.sh upgrades with it). The third builds nothing:
# it prints the installer's product version of X.Y.Z (three numbers, leading
# zeros dropped), or says why the installer cannot have it and exits with 1.
# docs/windows.md, "Packages".
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
usage() {
    echo "usage: $0 [--version X.Y.Z --output DIR] [BUILD] | --check-version X.Y.Z" >&2
    exit 2
}
# Windows Installer versions have three numbers (a fourth is ignored when
# comparing), each at most 65535. Each part is held to digits and its length
# as text before any arithmetic, where the shell would take 08 for octal and
# wrap a number of 20 digits. A leading zero is read as decimal, as CMake and
# dpkg read the project's version: 1.08 is 1.8.0 to the installer too.
product_version() {
    local refused="version $1: the installer needs X[.Y[.Z]], each at most 65535"
    [[ $1 =~ ^[0-9]+(\.[0-9]+){0,2}$ ]] || { echo "$refused" >&2; return 1; }
    local parts number
    IFS=. read -r -a parts <<<"$1.0.0"
    for number in 0 1 2; do
        parts[number]=${parts[number]#"${parts[number]%%[!0]*}"}
        if [ "${#parts[number]}" -gt 5 ] || [ "$((10#${parts[number]:-0}))" -gt 65535 ]; then
            echo "$refused" >&2
            return 1
        fi
        parts[number]=$((10#${parts[number]:-0}))
    done
    [ "${parts[2]}" -lt 65535 ] || { echo "version $1: no patch version follows it" >&2; return 1; }
    echo "${parts[0]}.${parts[1]}.${parts[2]}"
}
version=
output=
while [ $# -gt 0 ]; do
    case $1 in
    --check-version) [ $# -eq 2 ] || usage; product_version "$2"; exit ;;
    --version) [ $# -ge 2 ] || usage; version=$2; shift 2 ;;
    --output) [ $# -ge 2 ] || usage; output=$2; shift 2 ;;
    -*) usage ;;
    *) break ;;
    esac
done
[ $# -le 1 ] || usage
[ -z "$version" ] || [ -n "$output" ] || usage
# Refused before the build, which can take long.
[ -z "$version" ] || product_version "$version" >/dev/null || exit 1
build=${1:-$repo/build-win}
# Brought up to date, or built on a fresh machine (toolkit and all); after
# scripts/test-windows.sh nothing is built again.
"$repo/scripts/build-windows.sh" "$build" >&2
build=$(cd "$build" && pwd)
for program in reference_host save_record_tool; do
    [ -f "$build/bin/$program.exe" ] ||
        { echo "$build/bin/$program.exe is missing: the installer holds the programs" >&2; exit 1; }
done
output=$(mkdir -p "${output:-$build/packages}" && cd "${output:-$build/packages}" && pwd)

"$repo/scripts/install-deps.sh" windows-package >&2
started=$SECONDS

project_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
version=${version:-$project_version}
installer_version=$(product_version "$version") || exit 1
IFS=. read -r major minor patch <<<"$installer_version"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What the installer holds, as `cmake --install` lays it out (the programs find
# the plug-in and the catalogs relative to themselves): optimised, stripped.
for component in plugin runtime tools doc; do
    cmake --install "$build" --prefix "$work/root" --strip --component "$component" >/dev/null
done
# One component per file, its GUID derived from the file's path: stable from
# one version to the next, so an upgrade or an uninstall finds every file.
(cd "$work" && find root -type f | LC_ALL=C sort) |
    wixl-heat --prefix root/ --directory-ref INSTALLDIR --component-group StagedFiles \
        --var var.SourceDir --win64 >"$work/files.wxs"
# Each folder, once empty, is removed on uninstall: by a component of its own
# (its GUID made of the folder's id, stable as the id), because Wine's
# installer removes only folders it is told of.
{
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi"><Fragment>'
    folders=$(sed -n 's/.*<Directory Id="\([^"]*\)".*/\1/p' "$work/files.wxs")
    for folder in $folders INSTALLDIR; do
        guid=$(printf 'zavud_pri_rivezavode folder %s' "$folder" | md5sum | tr a-f A-F |
            sed -E 's/^(.{8})(.{4})(.{4})(.{4})(.{12}).*/\1-\2-\3-\4-\5/')
        printf '<DirectoryRef Id="%s"><Component Id="folder_%s" Guid="%s" Win64="yes">' \
            "$folder" "$folder" "$guid"
        printf '<CreateFolder/><RemoveFolder Id="remove_%s" On="uninstall"/></Component></DirectoryRef>\n' \
            "$folder"
    done
    echo '<ComponentGroup Id="StagedFolders">'
    for folder in $folders INSTALLDIR; do printf '<ComponentRef Id="folder_%s"/>\n' "$folder"; done
    echo '</ComponentGroup></Fragment></Wix>'
} >"$work/folders.wxs"
msi=$output/zavud_pri_rivezavode-$version-win64.msi
# wixl takes the files' sources relative to where it runs.
(cd "$work" && wixl --arch x64 -D Version="$installer_version" \
    -D UpgradeBelow="$major.$minor.$((patch + 1))" -D SourceDir=root -D Win64=yes -o "$msi" \
    "$repo/packaging/windows/zavud_pri_rivezavode.wxs" files.wxs folders.wxs)
packages=("$msi")

if [ "$version" = "$project_version" ]; then
    # Staged the same way, not by CPack, which would first build the whole
    # folder again (its preinstall target), once per component.
    name=zavud_pri_rivezavode-dev-$version-win64
    for component in plugin dev doc; do
        cmake --install "$build" --prefix "$work/archive/$name" --strip --component "$component" \
            >/dev/null
    done
    zip=$output/$name.zip
    rm -f "$zip"
    (cd "$work/archive" && cmake -E tar cf "$zip" --format=zip "$name")
    packages+=("$zip")
fi

for package in "${packages[@]}"; do
    printf '%s\t%s\n' "$package" "$(numfmt --to=iec-i --suffix=B "$(stat -c %s "$package")")"
done
echo "packaged in $((SECONDS - started)) s" >&2
