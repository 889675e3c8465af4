# Installs the Debian packages the build and the tests need, only those missing.
# Sourced by run.sh, test.sh and fuzz.sh.

vocanta_packages=(g++ cmake make pkg-config libgtest-dev libgmock-dev qt6-base-dev libsleef-dev
                  libsndfile1-dev qt6-multimedia-dev libfftw3-dev dbus-daemon libcli11-dev
                  # The install test's validators and MIME database.
                  desktop-file-utils appstream libxml2-utils man-db groff-base
                  shared-mime-info libglib2.0-bin
                  # Scripted checks of the tables, JSON and TextGrids the tool writes.
                  python3
                  # The Python module and its tests.
                  pybind11-dev python3-dev python3-numpy python3-pytest)

# Installs the named packages that are not installed yet.
install_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

install_deps() {
  install_packages "${vocanta_packages[@]}"
}
