# Shared set-up of scripts/run, scripts/test and scripts/bench. Sourced, not run.

DRAVIK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Debian packages the build and the tests need (qt6-svg-dev: the icon's SVG file is written with
# QtSvg; hashdeep writes lists that dravik-cli import reads; exfatprogs, exfat-fuse: the tests
# mount an exFAT drive, which has no hard links, to save a catalog onto; python3: its zlib module
# reads the catalog files compressed on every core; desktop-file-utils and appstream validate the
# installed menu entry and metadata).
DRAVIK_BUILD_PACKAGES=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev
    zlib1g-dev
    fonts-dejavu-core exfatprogs exfat-fuse
    hashdeep python3
)
DRAVIK_VALIDATOR_PACKAGES=(desktop-file-utils appstream)

say() { printf 'dravik: %s\n' "$*" >&2; }

# Installs the given Debian packages that are not installed yet (through sudo when not root).
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    ((${#missing[@]})) || return 0
    say "installing ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { say "need root or sudo to install ${missing[*]}"; return 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Like ensure_packages, but a package that cannot be had is reported, not fatal: the tests that
# need it say so and are skipped.
ensure_optional_packages() {
    ensure_packages "$@" || say "could not install $*; the tests that need them are skipped"
}

# configure_and_build <build-dir> <Release|Debug> [cmake options...] -- [targets...]
configure_and_build() {
    local dir="$1" type="$2"; shift 2
    local options=() targets=()
    while (($#)); do
        [ "$1" = "--" ] && { shift; targets=("$@"); break; }
        options+=("$1"); shift
    done
    # The shared compiler cache, where the machine has one: sanitizer builds recompile everything.
    # Paths below the checkout count relative to it, so another clone finds the same entries.
    if command -v ccache >/dev/null; then
        options=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache "${options[@]}")
        export CCACHE_BASEDIR="$DRAVIK_ROOT" CCACHE_NOHASHDIR=1
    fi
    cmake -S "$DRAVIK_ROOT" -B "$DRAVIK_ROOT/$dir" -DCMAKE_BUILD_TYPE="$type" "${options[@]}" >/dev/null
    local target_args=()
    ((${#targets[@]})) && target_args=(--target "${targets[@]}")
    cmake --build "$DRAVIK_ROOT/$dir" --parallel "$(nproc)" "${target_args[@]}"
}
