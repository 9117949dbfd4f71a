#!/usr/bin/env bash
# The Windows programs: installs the cross compilers and Wine, cross-builds
# ZelkoDriver.exe, PLUZELKO.exe and the stand-in control ZelkoStandIn.dll for
# 32-bit Windows, and runs under Wine
# (fresh prefix, virtual X display) the whole unit suite built for Windows,
# the host name under each Windows version Wine can pretend to be, and both
# programs end to end against the POSIX ZelkoEmulator. Exits non-zero on any
# failure.
#
# Wine needs a kernel that runs 32-bit programs to start 32-bit Windows
# programs. Where it cannot, the tests run on a 64-bit build of the same code
# (preset windows-x64) and the 32-bit programs are only built.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$SECONDS
jobs=$(nproc)

step() { echo "== $* ($((SECONDS - started)) s)"; }

source tests/windows/checks.sh

# --- packages ---------------------------------------------------------------
packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine32:i386 wine64 xvfb xauth)
if ! dpkg -s "${packages[@]}" >/dev/null 2>&1; then
  step "installing ${packages[*]}"
  dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${packages[@]}" >/dev/null
fi

# --- builds -----------------------------------------------------------------
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  test_preset=windows
else
  test_preset=windows-x64
  echo "note: this kernel cannot run 32-bit programs, so Wine cannot start 32-bit Windows programs;" \
       "the tests run on the 64-bit build of the same code"
fi

step "cross-building for 32-bit Windows (preset windows)"
if [ "$test_preset" = windows ]; then
  cmake/windows-deps.sh i686
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j"$jobs"
else
  cmake/windows-deps.sh i686 --no-googletest
  cmake --preset windows -DZELKO_BUILD_TESTS=OFF >/dev/null
  cmake --build --preset windows -j"$jobs" --target ZelkoDriver PLUZELKO ZelkoStandIn
  step "cross-building the tests for 64-bit Windows (preset windows-x64)"
  cmake/windows-deps.sh x86_64
  cmake --preset windows-x64 >/dev/null
  cmake --build --preset windows-x64 -j"$jobs"
fi
for program in build/windows/driver/ZelkoDriver.exe build/windows/loader/PLUZELKO.exe \
               build/windows/standin/ZelkoStandIn.dll; do
  check "$program is 32-bit, needing only system DLLs" tests/windows/check_program.sh "$program"
done

step "building ZelkoEmulator for this host (preset default)"
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs" --target ZelkoEmulator
emulator=$root/build/default/emulator/ZelkoEmulator

# --- Wine -------------------------------------------------------------------
work=$(mktemp -d /tmp/zelko-windows.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
unset DISPLAY
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

step "Wine: unit suite, Windows versions, both programs end to end"
suite=0
xvfb-run -a -s "-screen 0 1024x768x16" env \
  ZELKO_TESTS="$root/build/$test_preset" ZELKO_EMULATOR="$emulator" ZELKO_WORK="$work" \
  bash tests/windows/wine_suite.sh || suite=$?

echo "windows: $((SECONDS - started)) s"
[ "$failures" -eq 0 ] && [ "$suite" -eq 0 ]
