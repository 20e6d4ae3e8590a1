#!/usr/bin/env bash
# Installs the Debian packages that are missing (tools/packages.txt), builds into build/
# with warnings as errors, then starts the program ("run") or runs every test ("test").
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

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WERROR=ON
cmake --build build -j"$jobs"

if [ "$mode" = test ]; then
  cd build
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs"
  exit
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
  exec build/quillmark
fi
# No display: a VNC screen that only this machine can reach (Qt's own vnc platform listens
# on every network address and cannot be told otherwise). From elsewhere, tunnel it:
#   ssh -L 5900:127.0.0.1:5900 user@this-machine   then connect a viewer to localhost:5900
port=${QM_VNC_PORT:-5900}
screen=""
for n in $(seq 20 60); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then screen=$n; break; fi
done
[ -n "$screen" ] || { echo "No free X display number for the VNC screen." >&2; exit 1; }
Xvnc ":$screen" -geometry 1280x1024 -depth 24 -rfbport "$port" -localhost -interface 127.0.0.1 \
  -SecurityTypes None -AlwaysShared >/dev/null 2>&1 &
vnc=$!
trap 'kill "$vnc" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$screen" ] && break; sleep 0.1; done
echo "No display found: the program is shown on VNC port $port of this machine only"
echo "(127.0.0.1). From another computer: ssh -L $port:127.0.0.1:$port <user>@<this machine>,"
echo "then point a VNC viewer at localhost:$port."
status=0
DISPLAY=":$screen" QT_QPA_PLATFORM=xcb build/quillmark || status=$?
exit "$status"
