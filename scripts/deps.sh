# Sourced by the other scripts: makes sure the Debian packages of the named
# groups of scripts/packages are installed, before anything is configured.
#
#   require GROUP...
#
# As root, installs the missing ones at once (apt-get update, then
# apt-get install). Otherwise prints the one command that installs them all
# and exits with status 1, so that nothing else happens. A package named
# NAME:ARCH is of another architecture (wine32:i386): dpkg is told of that
# architecture first, before apt-get update, for it and in the command.

# MERVALIN_PACKAGE_LIST stands in another list, for the tests of this file.
deps_list=${MERVALIN_PACKAGE_LIST:-$(dirname "${BASH_SOURCE[0]}")/packages}

# The packages of the named groups, one a line, each once.
packages_of() {
    awk -v wanted=" $* " '
        /^[[:space:]]*(#|$)/ { next }
        { known[$1] = 1 }
        index(wanted, " " $1 " ") { for (i = 2; i <= NF; i++) if (!seen[$i]++) print $i }
        END {
            n = split(wanted, groups, " ")
            for (i = 1; i <= n; i++) if (!(groups[i] in known)) {
                print "deps.sh: no group " groups[i] " in scripts/packages" > "/dev/stderr"
                exit 2
            }
        }' "$deps_list"
}

# The architectures of the named packages (NAME:ARCH) that dpkg does not
# know yet, one a line.
new_architectures() {
    local known package
    [[ " $* " == *:* ]] || return 0
    known=" $(dpkg --print-architecture 2>/dev/null)"
    known+=" $(dpkg --print-foreign-architectures 2>/dev/null | tr '\n' ' ') "
    for package in "$@"; do
        case $package in
            *:*) [[ $known == *" ${package##*:} "* ]] || echo "${package##*:}" ;;
        esac
    done | sort -u
}

require() {
    local wanted missing=() package architectures architecture add=""
    wanted=$(packages_of "$@") || exit 2
    for package in $wanted; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    architectures=$(new_architectures "${missing[@]}")

    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing ${missing[*]}" >&2
        export DEBIAN_FRONTEND=noninteractive
        for architecture in $architectures; do
            echo "Adding the architecture $architecture to dpkg" >&2
            dpkg --add-architecture "$architecture"
        done
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
        for architecture in $architectures; do
            add+="sudo dpkg --add-architecture $architecture && "
        done
        echo "Missing Debian packages. Install them with:" >&2
        echo "  ${add}sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
}
