#!/usr/bin/env bash
# Installs the Debian packages that are missing (tools/packages.txt), then
#   run:  builds the program into build/ and starts it;
#   test: builds the program, its tests and the fuzz targets into build-asan/ with
#         AddressSanitizer and UndefinedBehaviorSanitizer and runs every test there.
# Both build with clang and with warnings as errors, so that what the tests check is what
# the program's build compiles (libFuzzer, for the fuzz targets, comes with clang).
#   bash tools/build.sh run|test [ctest arguments, for test: -R '^core_tests$']
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}
shift || true
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
compiler=(-DCMAKE_CXX_COMPILER=clang++-14 -DQM_WERROR=ON)

if [ "$mode" = test ]; then
  # Without optimisation: the instrumented code compiles in a third of the time, and the
  # tests run in a few minutes all the same.
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" \
    "${compiler[@]}" -DQM_SANITIZE=ON -DQM_FUZZ=ON
  cmake --build build-asan -j"$jobs"
  cd build-asan
  # Slow test programs sleep and wait for the disk: one more than the cores keeps both busy.
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:malloc_context_size=10 \
  LSAN_OPTIONS=suppressions="$PWD/../tools/sanitizer/lsan.supp":print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$((jobs + 1))" "$@"
  exit
fi

# The program (and tools/bench), optimised: it starts sooner without the tests to build.
# QM_NETWORK_MODE=ON in the environment builds the network edition (the book at the address
# kept in the settings file: a shared file or a PostgreSQL server).
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compiler[@]}" -DQM_BUILD_TESTS=OFF \
  -DQM_NETWORK_MODE="${QM_NETWORK_MODE:-OFF}"
cmake --build build -j"$jobs"

# Qt wants a private runtime folder and says so on every start when there is none (an ssh
# or root session): one of our own, removed when the program ends.
private=""
cleanup() {
  if [ -n "${vnc:-}" ]; then
    kill "$vnc" 2>/dev/null || true
    wait "$vnc" 2>/dev/null || true
    # Xvnc removes these when it ends normally; a killed one leaves them behind.
    rm -f "/tmp/.X11-unix/X$screen" "/tmp/.X$screen-lock"
  fi
  [ -n "$private" ] && rm -rf "$private"
  return 0
}
trap cleanup EXIT
# Ctrl+C or a closed terminal ends the program (same process group) and then this script,
# which ends the VNC screen and removes its files on the way out.
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP
private=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-run-XXXXXX")   # mode 0700
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$private"
fi

status=0
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
  build/quillmark || status=$?
  exit "$status"
fi
# No display: a VNC screen that only this machine can reach (Qt's own vnc platform listens
# on every network address and cannot be told otherwise), and only with a password made
# for this start, since every user of this machine can reach the loopback address.
port=${QM_VNC_PORT:-5900}
screen=""
for n in $(seq 20 60); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then screen=$n; break; fi
done
[ -n "$screen" ] || { echo "No free X display number for the VNC screen." >&2; exit 1; }
# Eight characters is all the VNC password scheme reads.
password=$(head -c 6 /dev/urandom | base64 | tr '+/' 'xy')
(umask 077 && printf '%s\n' "$password" | vncpasswd -f >"$private/vncpasswd")
Xvnc ":$screen" -geometry 1280x1024 -depth 24 -rfbport "$port" -localhost -interface 127.0.0.1 \
  -SecurityTypes VncAuth -PasswordFile "$private/vncpasswd" -AlwaysShared >/dev/null 2>&1 &
vnc=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$screen" ] && break; sleep 0.1; done
kill -0 "$vnc" 2>/dev/null || { echo "The VNC screen did not start (port $port taken?)." >&2; exit 1; }
echo "No display found: the program is shown on VNC port $port of this machine only"
echo "(127.0.0.1). From another computer: ssh -L $port:127.0.0.1:$port <user>@<this machine>,"
echo "then point a VNC viewer at localhost:$port."
echo "VNC password for this start: $password"
echo "To end: close the program in the viewer, or press Ctrl+C here; either ends the VNC"
echo "screen too and removes its files."
DISPLAY=":$screen" QT_QPA_PLATFORM=xcb build/quillmark || status=$?
exit "$status"
