# Shared by scripts/run and scripts/test: installs what the build needs, and builds.
# Sourced, not run.

KOVR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The build folder; KOVR_BUILD set beforehand picks another (a second checkout's own folder).
KOVR_BUILD="${KOVR_BUILD:-$KOVR_ROOT/build}"
KOVR_PACKAGES=(cmake ninja-build g++ lld ccache pkg-config qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
               fonts-dejavu-core fonts-wine qt6-translations-l10n
               poppler-utils
               # the window-manager test: a private X server, openbox, real clicks
               xvfb openbox xdotool x11-utils libxcb1-dev)

kovr_install_packages() {
    local missing=()
    for p in "${KOVR_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# Builds the given targets, or everything when none are given; KOVR_CONFIGURE (an array) adds
# to the configure step.
kovr_build() {
    cmake -S "$KOVR_ROOT" -B "$KOVR_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          "${KOVR_CONFIGURE[@]}" >/dev/null
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    # Two cores: two jobs keep memory and the machine responsive.
    cmake --build "$KOVR_BUILD" -j 2 "${targets[@]}"
}

# kovr_build with one line of progress instead of a line per step: the steps done of all, the
# time so far and, once a tenth is done, about how long the rest takes at the pace so far. Compiler messages and
# a failed step show as they come. On a terminal the line is rewritten in place; elsewhere (a
# log) it is printed at every tenth.
kovr_build_with_progress() {
    local start=$SECONDS tty=""
    [ -t 1 ] && tty=1
    NINJA_STATUS="[%f/%t] " kovr_build "$@" 2>&1 | awk -v start="$(date +%s)" -v tty="$tty" '
        function clock(s) { return s >= 60 ? int(s / 60) " min " s % 60 " s" : s " s" }
        function show(done, all,   spent, line) {
            spent = systime() - start
            line = sprintf("Building: %d of %d steps, %s so far", done, all, clock(spent))
            if (done >= all / 10 && done < all && spent >= 10)
                line = line sprintf(", about %s to go", clock(int(spent * (all - done) / done)))
            if (tty) { printf "\r%-78s", line; shown = 1 }
            else if (int(10 * done / all) > tenth || done == all) { print line; tenth = int(10 * done / all) }
            fflush()
        }
        match($0, /^\[[0-9]+\/[0-9]+\] /) {
            split(substr($0, 2, RLENGTH - 3), n, "/")
            show(n[1] + 0, n[2] + 0)
            next
        }
        /^ninja: no work to do/ { next }
        { if (shown) { printf "\n"; shown = 0 } print; fflush() }
        END { if (shown) printf "\n" }'
    local status=${PIPESTATUS[0]}
    [ "$status" -eq 0 ] && [ $((SECONDS - start)) -ge 5 ] && echo "Built in $((SECONDS - start)) s."
    return "$status"
}
