#!/usr/bin/env bash
# Installs the Debian packages that are missing (tools/packages.txt), builds into build/,
# then starts the program ("run") or runs every test ("test").
#   bash tools/build.sh run|test
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}
case "$mode" in run|test) ;; *) echo "usage: bash tools/build.sh run|test" >&2; exit 2;; esac

mapfile -t wanted < <(grep -v '^\s*#' tools/packages.txt | grep -v '^\s*$')
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

if [ "$mode" = test ]; then
  cd build
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
else
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: the program is shown on VNC port 5900 (connect a VNC viewer)."
    export QT_QPA_PLATFORM=vnc
  fi
  exec build/quillmark
fi
