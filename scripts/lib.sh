# Shared by scripts/run and scripts/test: install what is missing, configure and build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

install_missing_packages() {
  local missing=()
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done < "$ROOT/scripts/packages.txt"
  ((${#missing[@]} == 0)) && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  ((EUID == 0)) || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build BUILD_DIR [cmake args...]
configure_and_build() {
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}
