# shellcheck shell=bash
# Sourced (bash). Puts the machine's packages back as an install check found
# them: remember_installed PACKAGE... before it installs, restore_installed
# (an EXIT trap) afterwards. Both run apt as the caller's $sudo (empty as root).
#
# What was not installed before is purged. A release installed before stays
# the one installed: a host on this machine may run with it, and removing it
# would take along whatever depends on it. Its version is installed again from
# apt's cache or archives; where neither has it any more, this build's stays
# installed, nearer to what was there than nothing, and stderr says so.

declare -A state_before=()
remembered=()

# "STATUS VERSION WHEN-ITS-FILE-LIST-WAS-WRITTEN", empty for a package dpkg does
# not know: a reinstall of the same version changes only the last.
package_state() {
    dpkg-query -W -f='${db:Status-Status} ${Version} ${db-fsys:Last-Modified}' "$1" 2>/dev/null ||
        true
}

remember_installed() {
    local package
    for package in "$@"; do
        remembered+=("$package")
        state_before[$package]=$(package_state "$package")
    done
}

restore_installed() {
    local package before now archives file purge=() replaced=() again=()
    for package in "${remembered[@]}"; do
        before=${state_before[$package]}
        now=$(package_state "$package")
        [ "$now" != "$before" ] || continue
        case $before in
        "installed "*) replaced+=("$package") ;;
        *) purge+=("$package") ;;
        esac
    done
    if [ ${#purge[@]} -gt 0 ] &&
        ! ${sudo:-} apt-get -o DPkg::Lock::Timeout=600 remove --purge -y -qq "${purge[@]}" >/dev/null 2>&1; then
        echo "could not remove ${purge[*]}: still installed" >&2
    fi
    [ ${#replaced[@]} -gt 0 ] || return 0
    eval "$(apt-config shell archives Dir::Cache::archives/d)"
    for package in "${replaced[@]}"; do
        before=${state_before[$package]#installed }
        before=${before% *}
        # apt's cache names a file PACKAGE_VERSION_ARCHITECTURE.deb, a colon as %3a.
        file=$(compgen -G "${archives%/}/${package}_${before//:/%3a}_*.deb" | head -n 1) || true
        again+=("${file:-$package=$before}")
    done
    # In one go: the packages require each other's exact version.
    if ! DEBIAN_FRONTEND=noninteractive ${sudo:-} apt-get -o DPkg::Lock::Timeout=600 install \
        --reinstall --allow-downgrades -y -qq "${again[@]}" >/dev/null 2>&1; then
        for package in "${replaced[@]}"; do
            before=${state_before[$package]#installed }
            now=$(package_state "$package")
            now=${now#* }
            echo "$package ${before% *} was installed before; this build's ${now% *} replaced it, and" \
                "${before% *} could not be installed again from apt's cache or archives: this build's stays" >&2
        done
    fi
}
