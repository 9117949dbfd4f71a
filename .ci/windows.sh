#!/usr/bin/env bash
# The Windows programs: installs the cross compilers and Wine, cross-builds
# ZelkoDriver.exe, PLUZELKO.exe, ZelkoService.exe and the stand-in control
# ZelkoStandIn.dll for 32-bit Windows, and runs under Wine in 32 bits (fresh win32 prefix, virtual
# X display) the whole unit suite built for Windows, the host name under each
# Windows version Wine can pretend to be, both programs end to end against the
# POSIX ZelkoEmulator, the driver on its real ActiveX path with the
# registered stand-in control, and the service over HTTP; then builds the
# Windows Installer package and installs, upgrades and removes it in a prefix of
# its own. Exits non-zero on any failure.
#
# 32-bit programs run under ZELKO_WINE32 when the caller names a runner,
# else under plain Wine where the kernel runs 32-bit code, else under
# ../shared/tools/wine32q (Wine's 32-bit loader in qemu) when it is there.
# With none, the tests run on a 64-bit build of the same code (preset
# windows-x64) and the 32-bit programs are only built. The script says which
# it used.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$SECONDS
jobs=$(nproc)

step() { echo "== $* ($((SECONDS - started)) s)"; }

source tests/windows/checks.sh

# --- packages ---------------------------------------------------------------
packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine32:i386 wine64 xvfb xauth
          qemu-user-static dpkg-dev make tcl curl wixl msitools)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# cmake/windows-deps.sh fetches cpp-httplib's and SQLite's sources with apt-get source.
if ! apt-get source --print-uris -qq sqlite3 >/dev/null 2>&1; then
  step "adding Debian's source entries to apt"
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  $sudo tee /etc/apt/sources.list.d/zelko-deb-src.sources >/dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  $sudo apt-get update -qq
fi
if ! dpkg -s "${packages[@]}" >/dev/null 2>&1; then
  step "installing ${packages[*]}"
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${packages[@]}" >/dev/null
fi

# --- the runner for 32-bit programs -----------------------------------------
work=$(mktemp -d /tmp/zelko-windows.XXXXXX)
wine32=${ZELKO_WINE32:-}  # a caller's choice of runner holds
if [ -n "$wine32" ]; then
  echo "32-bit programs run under $wine32 (ZELKO_WINE32)"
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine32=wine
  echo "32-bit programs run under plain Wine"
elif [ -x ../shared/tools/wine32q/setup.sh ]; then
  wine32=$(../shared/tools/wine32q/setup.sh "$work/wine32q")
  echo "this kernel runs no 32-bit code: 32-bit programs run under wine32q ($wine32)"
else
  echo "note: this kernel cannot run 32-bit programs and ../shared/tools/wine32q is absent, so Wine" \
       "cannot start 32-bit Windows programs; the tests run on the 64-bit build of the same code"
fi

# --- builds -----------------------------------------------------------------
step "cross-building for 32-bit Windows (preset windows)"
if [ -n "$wine32" ]; then
  test_preset=windows
  windows_tests=ON
  cmake/windows-deps.sh i686
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j"$jobs"
else
  test_preset=windows-x64
  windows_tests=OFF
  cmake/windows-deps.sh i686 --no-googletest
  cmake --preset windows -DZELKO_BUILD_TESTS=OFF >/dev/null
  cmake --build --preset windows -j"$jobs" --target ZelkoDriver PLUZELKO ZelkoCheck ZelkoService ZelkoStandIn
  step "cross-building the tests for 64-bit Windows (preset windows-x64)"
  cmake/windows-deps.sh x86_64
  cmake --preset windows-x64 >/dev/null
  cmake --build --preset windows-x64 -j"$jobs"
fi
for program in build/windows/driver/ZelkoDriver.exe build/windows/loader/PLUZELKO.exe \
               build/windows/standin/ZelkoStandIn.dll; do
  check "$program is 32-bit, needing only system DLLs" tests/windows/check_program.sh "$program"
done
check "ZelkoCheck.exe is a 32-bit console program for Windows XP, needing only system DLLs" \
  tests/windows/check_program.sh --console build/windows/check/ZelkoCheck.exe
check "ZelkoService.exe is a 32-bit console program for Windows 7, needing only system DLLs" \
  tests/windows/check_program.sh --console-windows7 build/windows/service/ZelkoService.exe

# The package of the project's version, and one of an earlier version (the
# last field lowered) that the install suite upgrades from.
step "the Windows Installer package, and one of an earlier version"
version=$(sed -n 's/^project(Zelko VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
earlier=${version%.*}.$((${version##*.} - 1))
[ "${version##*.}" -gt 0 ] || earlier=0.0.0.1
windows_package() {  # configure options
  cmake --preset windows -DZELKO_BUILD_TESTS=$windows_tests "$@" >/dev/null
  cmake --build --preset windows --target ZelkoSetup
}
windows_package -DZELKO_PACKAGE_VERSION="$earlier"
windows_package -UZELKO_PACKAGE_VERSION
check "Zelko-$version.msi is a package whose tables msiinfo lists" \
  bash -c 'msiinfo tables "$1" >/dev/null' _ "build/windows/Zelko-$version.msi"

step "building ZelkoEmulator for this host (preset default)"
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs" --target ZelkoEmulator
emulator=$root/build/default/emulator/ZelkoEmulator

# --- Wine -------------------------------------------------------------------
export WINEPREFIX=$work/prefix WINEDEBUG=-all
if [ -n "$wine32" ]; then
  export WINEARCH=win32 ZELKO_WINE32=$wine32
fi
unset DISPLAY
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$work/install-prefix wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

step "Wine ($([ -n "$wine32" ] && echo "32-bit, $wine32" || echo 64-bit)): unit suite, Windows versions, both programs end to end, the stand-in control"
suite=0
xvfb-run -a -s "-screen 0 1024x768x16" env \
  ZELKO_TESTS="$root/build/$test_preset" ZELKO_EMULATOR="$emulator" ZELKO_WORK="$work" \
  bash tests/windows/wine_suite.sh || suite=$?

install_suite=0
if [ -n "$wine32" ]; then
  step "Wine (32-bit): the Windows Installer package installed, upgraded and removed"
  mkdir "$work/install"
  xvfb-run -a -s "-screen 0 1024x768x16" env \
    ZELKO_PACKAGE="$root/build/windows/Zelko-$version.msi" ZELKO_EARLIER_PACKAGE="$root/build/windows/Zelko-$earlier.msi" \
    ZELKO_TESTS="$root/build/windows" ZELKO_EMULATOR="$emulator" ZELKO_WORK="$work/install" \
    WINEPREFIX="$work/install-prefix" bash tests/windows/install_suite.sh || install_suite=$?
else
  echo "note: no 32-bit runner: the Windows Installer package is built, not installed"
fi

echo "windows: $((SECONDS - started)) s"
[ "$failures" -eq 0 ] && [ "$suite" -eq 0 ] && [ "$install_suite" -eq 0 ]
