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
# time so far and, once a tenth is done, about how long the rest takes at the pace so far.
# Compiler messages and a failed step show as they come. On a terminal the line is rewritten in
# place; elsewhere (a log) it is printed at every tenth.
kovr_build_with_progress() {
    local start=$SECONDS
    NINJA_STATUS="[%f/%t] " kovr_build "$@" 2>&1 | kovr_progress_line
    local status=${PIPESTATUS[0]}
    [ "$status" -eq 0 ] && [ $((SECONDS - start)) -ge 5 ] && echo "Built in $((SECONDS - start)) s."
    return "$status"
}

# Reads the build's output line by line as it comes (awk would read it in blocks and show the
# progress only at the end) and turns ninja's "[done/all] " lines into the progress line.
kovr_progress_line() {
    local start=$SECONDS tty="" shown="" tenth=0 line text done all spent
    [ -t 1 ] && tty=1
    kovr_clock() { [ "$1" -ge 60 ] && echo "$(($1 / 60)) min $(($1 % 60)) s" || echo "$1 s"; }
    while IFS= read -r line; do
        if [[ "$line" =~ ^\[([0-9]+)/([1-9][0-9]*)\]\  ]]; then
            done=${BASH_REMATCH[1]} all=${BASH_REMATCH[2]} spent=$((SECONDS - start))
            text="Building: $done of $all steps, $(kovr_clock "$spent") so far"
            if [ $((10 * done)) -ge "$all" ] && [ "$done" -lt "$all" ] && [ "$spent" -ge 10 ]; then
                text+=", about $(kovr_clock $((spent * (all - done) / done))) to go"
            fi
            if [ -n "$tty" ]; then
                printf '\r%-78s' "$text"
                shown=1
            elif [ $((10 * done / all)) -gt "$tenth" ] || [ "$done" -eq "$all" ]; then
                echo "$text"
                tenth=$((10 * done / all))
            fi
        elif [[ "$line" != "ninja: no work to do." ]]; then
            [ -n "$shown" ] && printf '\n' && shown=""
            printf '%s\n' "$line"
        fi
    done
    [ -n "$shown" ] && printf '\n'
    return 0
}
