# Shared by scripts/run and scripts/test: installs what the build needs, and builds.
# Sourced, not run.

KOVR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The build folder; KOVR_BUILD set beforehand picks another (a second checkout's own folder).
KOVR_BUILD="${KOVR_BUILD:-$KOVR_ROOT/build}"
KOVR_PACKAGES=(cmake ninja-build g++ ccache pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev qt6-svg-dev libgl-dev
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
