# Shared set-up of run.sh and test.sh: installs the missing Debian packages, then builds.
# Usage (sourced): setup_vorix BUILD_DIR [extra cmake arguments...]
# Builds everything with the tests' packages, or, when the array VORIX_TARGETS is set, only the
# targets it lists, without them.

# What building and running Vorix needs.
VORIX_PACKAGES=(
    cmake g++ pkgconf qt6-base-dev qt6-base-dev-tools libsqlcipher-dev libssl-dev libpq-dev libbenchmark-dev
    libzint-dev
    fonts-wqy-microhei qt6-translations-l10n qt6-qpa-plugins
)
# What the tests use besides: the X server of the screenshots, the sqlcipher shell, poppler's PDF
# tools (a printed page's text and pixels), the reader of printed barcodes, the tools that build and
# check the Debian package, and a PostgreSQL server.
VORIX_TEST_PACKAGES=(
    xvfb xauth sqlcipher
    poppler-utils
    dpkg-dev desktop-file-utils appstream lintian
    postgresql
    zbar-tools
)

# Installs those of the packages named that are missing.
install_missing_packages() {
    local missing=()
    for p in "$@"; do
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
    if [ -n "${VORIX_TARGETS+set}" ]; then
        install_missing_packages "${VORIX_PACKAGES[@]}"
    else
        install_missing_packages "${VORIX_PACKAGES[@]}" "${VORIX_TEST_PACKAGES[@]}"
    fi
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    local targets=()
    [ -n "${VORIX_TARGETS+set}" ] && targets=(--target "${VORIX_TARGETS[@]}")
    cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
}
