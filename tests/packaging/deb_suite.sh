#!/usr/bin/env bash
# The Debian package on this machine: made by CPack from a build folder whose
# programs are built, installed with apt, the README's main job (scripts/demo's
# steps) run from the installed programs, then removed and purged. Installs
# and removes system packages: for a CI machine (root, or sudo).
# Usage: tests/packaging/deb_suite.sh [build folder, default build/default]
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/default}
source tests/windows/checks.sh
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
started=$SECONDS
step() { echo "-- $* ($((SECONDS - started)) s)"; }
work=$(mktemp -d /tmp/zelko-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
apt_get() {  # its output only when it fails
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; false; }
}

step "the package, made by CPack"
if ! cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAILED: cpack"
  exit 1
fi
package=$(find "$work" -maxdepth 1 -name 'zelko_*.deb' -print -quit)
check "a package zelko_<version>_<arch>.deb" test -n "$package"

step "installed with apt"
check "apt installs it" apt_get install --reinstall "$package"
for program in ZelkoDriver PLUZELKO ZelkoEmulator ZelkoService ZelkoCheck; do
  check "$program on the PATH, in /usr/lib/zelko" test "$(readlink -f "$(command -v "$program")")" = "/usr/lib/zelko/$program"
done
check "config.cmd beside the programs is the conffile /etc/zelko/config.cmd" \
  test "$(readlink -f /usr/lib/zelko/config.cmd)" = /etc/zelko/config.cmd
check "... declared a conffile" grep -q '/etc/zelko/config.cmd' <<<"$(dpkg-query -W -f='${Conffiles}' zelko)"
unit=/usr/lib/systemd/user/zelko-service.service
check "the user unit starts the installed ZelkoService" grep -qx 'ExecStart=/usr/bin/ZelkoService' "$unit"
check "... and can be enabled" grep -qx 'WantedBy=default.target' "$unit"

step "the README's main job, from the installed programs"
export ZELKO_ROOT=$work/root ZELKO_OPERATOR=unattended
mkdir "$ZELKO_ROOT"
$sudo sed -i 's/^port=[0-9]*/port=3/' /etc/zelko/config.cmd
PLUZELKO /usr/share/doc/zelko/examples/articoli.txt
check "PLUZELKO converts the example article file" test $? = 0
check "... with the port of /etc/zelko/config.cmd" test "$(head -n 1 "$ZELKO_ROOT/c/Scontrino.inp" | tr -d '\r')" = 3
ZelkoDriver 2>"$work/driver.err"
check "ZelkoDriver runs it on the built-in emulator: OK" succeeded "$ZELKO_ROOT/c/SCONTRINO.OUT"
check "the articles reached the register" grep -q $'^SendCommand\t>>/?P/' "$ZELKO_ROOT/emulator/journal.txt"
ZelkoCheck >"$work/check.out" 2>&1
check "the installed ZelkoCheck finds the loader's config.cmd beside it" \
  grep -qF '[OK] loader: config.cmd: porta 3' "$work/check.out"
ZelkoService --listen 127.0.0.1:0 --store "$work/store" >"$work/service.out" 2>&1 &
check "the installed ZelkoService starts" listened_then_stopped "$work/service.out" $! 10

step "removed, then purged"
check "apt removes it" apt_get remove zelko
check "the programs are gone" test ! -e /usr/bin/ZelkoDriver -a ! -e /usr/lib/zelko/ZelkoDriver
check "the edited /etc/zelko/config.cmd is kept until the purge" grep -qx 'port=3.*' /etc/zelko/config.cmd
check "apt purges it" apt_get purge zelko
check "nothing of it is left" test ! -e /etc/zelko -a ! -e /usr/lib/zelko -a ! -e "$unit" -a ! -e /usr/share/doc/zelko

echo "Debian package: $passes passed, $failures failed ($((SECONDS - started)) s)"
[ "$failures" -eq 0 ]
