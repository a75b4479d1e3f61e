# Sourced by the other scripts: makes sure Debian packages are installed.
#
#   require_packages NAME...
#
# Installs the missing ones with apt-get when running as root; otherwise
# prints the exact command to run and exits.

require_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing ${missing[*]}" >&2
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "Missing Debian packages. Install them with:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
}

# What building the project and its tests on Linux needs.
BUILD_PACKAGES=(
    cmake ninja-build g++ pkgconf
    qt6-base-dev libgl-dev
    nlohmann-json3-dev libgtest-dev libbenchmark-dev
    python3
)

# What the window's tests under a real X server, the screenshot and
# accessibility checks need.
GUI_TEST_PACKAGES=(
    fonts-liberation
    xvfb xauth xdotool imagemagick
    dbus at-spi2-core python3-pyatspi strace
)
