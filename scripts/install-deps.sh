# Installs the Debian packages the build and the tests need, only those missing.
# Sourced by run.sh and test.sh.

vocanta_packages=(g++ cmake make pkg-config libgtest-dev libgmock-dev qt6-base-dev)

install_deps() {
  local missing=()
  local p
  for p in "${vocanta_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}
