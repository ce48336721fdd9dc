# Shared by scripts/run and scripts/test: installs the missing Debian packages, then configures
# and builds. Sourced, not run.
set -euo pipefail

XL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
XL_BUILD=${XL_BUILD:-$XL_ROOT/build}

xl_install_packages() {
    local wanted missing=()
    wanted=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$XL_ROOT/scripts/packages.txt")
    for p in $wanted; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing Debian packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

xl_build() {
    cmake -S "$XL_ROOT" -B "$XL_BUILD" -G Ninja "$@"
    cmake --build "$XL_BUILD"
}
