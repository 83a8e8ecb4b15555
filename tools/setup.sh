# Shared set-up of run.sh and test.sh: installs the missing Debian packages, then builds.
# Usage (sourced): setup_vorix BUILD_DIR [extra cmake arguments...]

VORIX_PACKAGES=(
    cmake g++ pkgconf qt6-base-dev qt6-base-dev-tools libsqlcipher-dev libssl-dev libbenchmark-dev
    fonts-wqy-microhei qt6-translations-l10n qt6-qpa-plugins
    xvfb xauth sqlcipher
)

install_missing_packages() {
    local missing=()
    for p in "${VORIX_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    # Without the recommends: they would bring Qt's own SQLite driver, a second SQLite library.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

setup_vorix() {
    local build_dir=$1
    shift
    install_missing_packages
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build_dir" -j"$(nproc)"
}
