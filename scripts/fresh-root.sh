#!/usr/bin/env bash
# Runs a command in a fresh Debian 12 (minbase) root, made with debootstrap
# from the Debian mirror this machine's apt uses, so that nothing installed
# on this machine by hand can count: whatever the command needs, the
# project's own scripts must install. CI runs every stage this way.
#
#   scripts/fresh-root.sh COMMAND [ARGUMENT...]
#
# The checkout is bound into the root at the same path and the command runs
# there, as root, with a clean environment (PATH, HOME, TERM, the locale's
# variables and the CI and ZAVUD_* ones are passed). Only caches come in from
# outside, bound into the root:
#   $ZAVUD_CACHE (/var/cache/zavud)   the Windows toolkit and its libraries,
#                                     GoogleTest for MinGW, the booted Wine
#                                     prefix, each keyed by its version
#   $ZAVUD_APT_ARCHIVES               downloaded package files (default
#     ($ZAVUD_CACHE/apt-archives)     /var/cache/apt/archives in the root):
#                                     files, not installed state
# The root lives in its own mount and process namespaces: when the command
# ends, every process it left is ended and every mount is gone; the root is
# then removed (ZAVUD_KEEP_ROOT=1 keeps it, for a look). The exit status is
# the command's.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGUMENT...]" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap, mounts, chroot)" >&2; exit 1; }
cache=${ZAVUD_CACHE:-/var/cache/zavud}
archives=${ZAVUD_APT_ARCHIVES:-$cache/apt-archives}
stage() { echo "=== $1 ($(date +%T))" >&2; }

"$repo/scripts/install-deps.sh" fresh-root

# The mirror and the Debian suite of this machine's own apt sources (deb822
# or one-line), and apt's settings on how it fetches from them.
suite=bookworm
mirror=
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    mirror=$(awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' \
        /etc/apt/sources.list.d/debian.sources)
fi
if [ -z "$mirror" ] && [ -f /etc/apt/sources.list ]; then
    mirror=$(awk '$1 == "deb" && $3 == "'$suite'" { print $2; exit }' /etc/apt/sources.list)
fi
mirror=${mirror:-http://deb.debian.org/debian}
security=$(awk '/^URIs:/ && $2 ~ /security/ { print $2; exit }' \
    /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
security=${security:-${mirror%/debian}/debian-security}

mkdir -p "$cache" "$archives/partial"
# Roots that a stopped run left behind (a few GB each): a root's lock is held
# while its run lasts, so one that can be taken is no one's.
for lock in /var/tmp/zavud-root.*.lock; do
    [ -e "$lock" ] || continue
    if flock --nonblock "$lock" true; then
        rm -rf --one-file-system "${lock%.lock}" "${lock%.lock}.debootstrap.log" "$lock"
    fi
done
root=$(mktemp -d /var/tmp/zavud-root.XXXXXX)
# Readable by all, as a root folder is: apt fetches as _apt.
chmod 755 "$root"
exec {held}>"$root.lock"
flock "$held"
cleanup() {
    if [ "${ZAVUD_KEEP_ROOT:-}" = 1 ]; then
        echo "the root is kept: $root" >&2
    else
        rm -rf --one-file-system "$root" "$root.lock"
    fi
}
trap cleanup EXIT

stage "fresh Debian 12 root in $root, from $mirror"
started=$SECONDS
# --cache-dir: the packages it downloads land beside apt's, for the next root.
debootstrap --variant=minbase --cache-dir="$archives" "$suite" "$root" "$mirror" \
    >"$root.debootstrap.log" 2>&1 ||
    { tail -n 30 "$root.debootstrap.log" >&2; rm -f "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
echo "root made in $((SECONDS - started)) s" >&2

# The machine's sources, with their updates and security suites.
rm -f "$root/etc/apt/sources.list"
cat >"$root/etc/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $mirror
Suites: $suite $suite-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: $security
Suites: $suite-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|Retries|https?::Proxy) ' \
    >"$root/etc/apt/apt.conf.d/50zavud-fetching" || true
cp /etc/resolv.conf "$root/etc/resolv.conf"
echo zavud-fresh-root >"$root/etc/hostname"

# In new mount and process namespaces: the mounts and whatever the command
# leaves running (Xvfb, wineserver) end with it.
status=0
unshare --mount --pid --fork --propagation private /bin/bash -s -- \
    "$root" "$repo" "$cache" "$archives" "$@" <<'INSIDE' || status=$?
set -euo pipefail
root=$1 repo=$2 cache=$3 archives=$4
shift 4
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
# A /dev of its own, not the machine's: a command that replaces or removes
# a device file in the root (/dev/null made a plain file) leaves the
# machine's as it was. The devices the stages use, pseudo-terminals of a
# private instance, shared memory.
mount -t tmpfs -o mode=755,nosuid tmpfs "$root/dev"
mknod -m 666 "$root/dev/null" c 1 3
mknod -m 666 "$root/dev/zero" c 1 5
mknod -m 666 "$root/dev/full" c 1 7
mknod -m 666 "$root/dev/random" c 1 8
mknod -m 666 "$root/dev/urandom" c 1 9
mknod -m 666 "$root/dev/tty" c 5 0
mkdir "$root/dev/pts" "$root/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666,mode=0620,gid=5 devpts "$root/dev/pts"
ln -s pts/ptmx "$root/dev/ptmx"
ln -s /proc/self/fd "$root/dev/fd"
ln -s /proc/self/fd/0 "$root/dev/stdin"
ln -s /proc/self/fd/1 "$root/dev/stdout"
ln -s /proc/self/fd/2 "$root/dev/stderr"
mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
for folder in "$repo" "$cache"; do
    mkdir -p "$root$folder"
    mount --bind "$folder" "$root$folder"
done
mount --bind "$archives" "$root/var/cache/apt/archives"
environment=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
    TERM="${TERM:-dumb}")
while IFS= read -r variable; do
    environment+=("$variable")
done < <(env | grep -E '^(CI|ZAVUD_[A-Z_]+|LANG|LC_[A-Z]+)=' || true)
# Not exec: this shell stays the namespace's first process, which every
# orphan is handed to, and reaps them. A command in its place would be
# handed processes it never started (a daemonised Wine server), and a shell
# among them waits for those too.
status=0
chroot "$root" /usr/bin/env -i "${environment[@]}" /bin/bash -c 'cd "$0" && "$@"' \
    "$repo" "$@" || status=$?
exit $status
INSIDE
exit $status
