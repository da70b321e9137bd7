# shellcheck shell=bash
# Sourced (bash). Work folders under /var/tmp that runs going at the same time
# keep apart: each has a lock beside it (FOLDER.lock), held while its run
# lasts, so a folder whose lock can be taken is what an ended run left behind
# (a failed or killed one) and only such are removed.

work_folders=()
remove_work_folders() {
    local folder
    for folder in "${work_folders[@]}"; do
        rm -rf "$folder" "$folder.lock"
    done
}

# make_work_folder NAME: sets $work to a fresh /var/tmp/zavud-NAME.XXXXXX,
# removed when the shell exits (an EXIT trap of its own), after removing those
# of NAME that no run holds any more.
make_work_folder() {
    local lock held
    for lock in "/var/tmp/zavud-$1".*.lock; do
        [ -e "$lock" ] || continue
        if flock --nonblock "$lock" true; then
            rm -rf "${lock%.lock}" "$lock"
        fi
    done
    work=$(mktemp -d "/var/tmp/zavud-$1.XXXXXX")
    work_folders+=("$work")
    trap remove_work_folders EXIT
    # Locked under another name, then renamed: a run sweeping at this moment
    # never finds the lock free.
    exec {held}>"$work.locking"
    flock "$held"
    mv "$work.locking" "$work.lock"
}
