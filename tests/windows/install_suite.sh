#!/usr/bin/env bash
# The Windows Installer package under Wine; run by .ci/windows.sh inside xvfb-run.
# Environment: ZELKO_PACKAGE (the package), ZELKO_EARLIER_PACKAGE (the same
# programs in a package of an earlier version), ZELKO_TESTS (the build folder
# of both), ZELKO_EMULATOR (the POSIX ZelkoEmulator), ZELKO_WORK (a scratch
# folder), WINEPREFIX (a folder for a fresh Wine prefix of its own).
# Exits non-zero when any check fails.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"
source "$here/emulators.sh"
run=$here/../../cmake/wine-run.sh
# Shortcuts made in the prefix stay there, out of this machine's desktop menus.
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
like=$ZELKO_TESTS/driver/ZelkoDriver.exe  # Wine's own tools run as 32-bit programs
wine_tool() { WINE_RUN_LIKE=$like "$run" "$@" >/dev/null 2>&1; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
msi() { wine_tool msiexec "$1" "$(windows_path "$2")" /qn "${@:3}"; }  # /i or /x, package, properties
not() { ! "$@"; }
quietly() { "$@" >/dev/null 2>&1; }

started=$SECONDS
step() { echo "-- $* ($((SECONDS - started)) s)"; }

drive_c=$WINEPREFIX/drive_c
folder="$drive_c/Program Files/Zelko"
c_files=(SCONTRINO.INP SCONTRINO.OUT JQTZelkoData.OUT ZELKOPLU.TXT)
installed_files=(ZelkoDriver.exe PLUZELKO.exe config.cmd LEGGIMI.txt ZelkoService.exe ZelkoStandIn.dll)
menu_entries=(Leggimi.lnk ZelkoService.lnk 'Pagina di ZelkoService.url')
check_program=$(find "$ZELKO_TESTS" -name ZelkoCheck.exe -print -quit)
if [ -n "$check_program" ]; then
  installed_files+=(ZelkoCheck.exe)
  menu_entries+=(Diagnostica.lnk)
fi

# --- the package's tables ----------------------------------------------------
step "the package's tables (msiinfo)"
exported() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4; }
tables=$(msiinfo tables "$ZELKO_PACKAGE")
for table in Feature Condition Component Registry RemoveFile Shortcut AppSearch Upgrade MsiLockPermissionsEx; do
  check "msiinfo lists the table $table" grep -qx "$table" <<<"$tables"
done
# Wine applies no file rights, so the table itself is what can be checked here.
check "the files in C:\\ are writable by authenticated users (S-1-5-11)" \
  test "$(exported "$ZELKO_PACKAGE" MsiLockPermissionsEx | grep -cE $'^[^\t]+\t(SCONTRINO\\.INP|SCONTRINO\\.OUT|JQTZelkoData\\.OUT|ZELKOPLU\\.TXT)\tFile\t.*\\(A;;0x12019f;;;S-1-5-11\\)')" = 4
property() { exported "$1" Property | sed -n "s/^$2\t//p"; }
uninstall_key() { echo "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(property "$1" ProductCode)"; }
installed_version() {
  WINE_RUN_LIKE=$like "$run" reg query "$(uninstall_key "$1")" /v DisplayVersion 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *DisplayVersion *REG_SZ *//p'
}

# --- a fresh prefix, and the stand-in as regsvr32 registers it ---------------
step "fresh Wine prefix (Windows 10)"
wine_tool wineboot -i
wine_tool reg add 'HKCU\Software\Wine' /v Version /d win10 /f
# Wine writes its registry to the prefix when its server ends.
snapshot() {
  wineserver -w
  cp "$WINEPREFIX/system.reg" "$ZELKO_WORK/$1.reg"
  (cd "$drive_c" && find . | sort) >"$ZELKO_WORK/$1.files"
}
# What changed under HKEY_CLASSES_ROOT between two snapshots, with the
# stand-in's folder spelt DIR. FLAGS is left out: Wine's registration adds the
# flag of a library on disk, which nothing reads.
classes_changes() {
  python3 "$here/registry_changes.py" "$ZELKO_WORK/$1.reg" "$ZELKO_WORK/$2.reg" \
    'Software\\Classes\\' 'Software\\Classes\\Installer\\' |
    sed -e 's/C:\\\\Riferimento/DIR/g' -e 's/C:\\\\Program Files\\\\Zelko/DIR/g' -e 's/DIR\\\\"$/DIR"/' \
        -e '/\\\\FLAGS\t/d'
}
step "the stand-in registered by regsvr32, for comparison"
mkdir "$drive_c/Riferimento"
cp "$ZELKO_TESTS/standin/ZelkoStandIn.dll" "$drive_c/Riferimento/"
snapshot unregistered
check "regsvr32 registers the stand-in" wine_tool regsvr32 /s 'C:\Riferimento\ZelkoStandIn.dll'
snapshot by-regsvr32
wine_tool regsvr32 /s /u 'C:\Riferimento\ZelkoStandIn.dll'
rm -r "$drive_c/Riferimento"
classes_changes unregistered by-regsvr32 >"$ZELKO_WORK/by-regsvr32.txt"
snapshot clean

# --- an earlier version, then this one over it -------------------------------
step "install an earlier version, with the stand-in and the start at logon"
check "the earlier package installs silently" msi /i "$ZELKO_EARLIER_PACKAGE" REGISTRATORE_PROVA=1 AVVIO_AUTOMATICO=1
for file in "${c_files[@]}"; do
  check "C:\\$file made empty" bash -c "[ -f \"\$1\" ] && [ ! -s \"\$1\" ]" _ "$drive_c/$file"
done
crlf 'port=3' 'baud=9600' >"$folder/config.cmd"
crlf '1' 'una corsa di prima' >"$drive_c/SCONTRINO.OUT"

step "upgrade to this version"
check "this package upgrades it silently" msi /i "$ZELKO_PACKAGE"
version=$(property "$ZELKO_PACKAGE" ProductVersion)
check "this version ($version) is installed" test "$(installed_version "$ZELKO_PACKAGE")" = "$version"
check "the earlier version is gone" test -z "$(installed_version "$ZELKO_EARLIER_PACKAGE")"
check "the edited config.cmd is kept" holds "$folder/config.cmd" 'port=3\r\nbaud=9600\r'
check "a run's C:\\SCONTRINO.OUT is kept" holds "$drive_c/SCONTRINO.OUT" '1\r\nuna corsa di prima\r'
for file in "${installed_files[@]}"; do
  check "installed: $file" test -f "$folder/$file"
done
menu=$(find "$drive_c" -type d -path '*/Start Menu/Programs/Zelko' -print -quit)
for entry in "${menu_entries[@]}"; do
  check "Start menu: $entry" test -f "$menu/$entry"
done
run_entry() {
  WINE_RUN_LIKE=$like "$run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v ZelkoService \
    2>/dev/null | tr -d '\r'
}
check "the start at logon is kept: ZelkoService minimised in the user's session" \
  grep -qF '/c start "ZelkoService" /min "C:\Program Files\Zelko\ZelkoService.exe"' <<<"$(run_entry)"
snapshot upgraded
check "the stand-in is kept, registered as regsvr32 registers it" \
  diff "$ZELKO_WORK/by-regsvr32.txt" <(classes_changes clean upgraded)

# --- the installed programs --------------------------------------------------
step "the installed programs, through the installed stand-in control"
: >"$ZELKO_WORK/till.txt"
start_emulator till "$ZELKO_WORK/till.txt"
# The installed programs run with ZELKO_CONTROL unset: the registered control.
till=(-u ZELKO_CONTROL ZELKO_OPERATOR=unattended ZELKO_STANDIN_REGISTER=tcp:127.0.0.1:$started_port)
installed() { env "${till[@]}" timeout 120 "$run" "$folder/$1" "${@:2}"; }  # program, arguments
crlf '11000001234567ACQUA MINERALE 1,5L 00000050 102X' >"$ZELKO_WORK/plu.txt"
check "PLUZELKO converts an article file" quietly installed PLUZELKO.exe "$(windows_path "$ZELKO_WORK/plu.txt")"
command_file=$(find "$drive_c" -maxdepth 1 -iname scontrino.inp)
check "... with the port of the edited config.cmd" test "$(head -n 1 "$command_file" | tr -d '\r')" = 3
installed ZelkoDriver.exe >/dev/null 2>"$ZELKO_WORK/driver.err"
check "ZelkoDriver runs it on the emulator through the stand-in: OK" succeeded "$drive_c/SCONTRINO.OUT"
check "the article reached the register" \
  grep -qF $'SendCommand\t>>/?P/(110000012345670ACQUA MINERALE 1,5L 00000050021)' "$ZELKO_WORK/till.journal"

env "${till[@]}" "$run" "$folder/ZelkoService.exe" --listen 127.0.0.1:0 >"$ZELKO_WORK/service.out" 2>&1 &
# Two minutes: a first start under qemu is slow.
check "the installed ZelkoService starts" listened_then_stopped "$ZELKO_WORK/service.out" $! 120
store=$(find "$drive_c/users" -type d -ipath '*/AppData/Local/Zelko/Service' -print -quit)
check "... with its outcome store in %LOCALAPPDATA%\\Zelko\\Service" test -n "$store"

if [ -n "$check_program" ]; then
  step "the installed ZelkoCheck"
  installed ZelkoCheck.exe --json >"$ZELKO_WORK/check.json" 2>"$ZELKO_WORK/check.err"
  check_status=$?
  # The package's part: the files in C:\ and the stand-in's registration.
  check "ZelkoCheck runs and reports (exit $check_status)" test "$check_status" -le 1
  for id in files control; do
    check "ZelkoCheck: $id holds" python3 -c 'import json, sys
report = json.load(open(sys.argv[1], encoding="latin-1"))
sys.exit(0 if any(c["id"] == sys.argv[2] and c["ok"] for c in report["checks"]) else 1)' "$ZELKO_WORK/check.json" "$id"
  done
  [ "$check_status" -eq 0 ] || cat "$ZELKO_WORK/check.json" "$ZELKO_WORK/check.err"
fi

# --- removal -----------------------------------------------------------------
step "removal"
check "the package is removed silently" msi /x "$ZELKO_PACKAGE"
snapshot removed
check "Zelko is no longer installed" test -z "$(installed_version "$ZELKO_PACKAGE")"
check "the programs are gone" test ! -e "$folder"
check "the Start menu entries are gone" test ! -e "$menu"
check "the stand-in's registration is gone" diff /dev/null <(classes_changes clean removed)
check "the start at logon is gone" not wine_tool reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v ZelkoService
check "the remembered choices are gone" not wine_tool reg query 'HKLM\Software\Zelko'
check "kept: the user's settings" \
  wine_tool reg query 'HKCU\Software\VB and VBA Program Settings\JQT SPA\ZELKO' /v GestioneErrori
check "kept: ZelkoService's outcome store" test -d "$store"
check "kept: the result of the last run" succeeded "$drive_c/SCONTRINO.OUT"
# All else as before the install: the files in C:\ stay, so do the service's
# outcomes, and Wine leaves the Installer folder it made.
left=$(comm -13 "$ZELKO_WORK/clean.files" "$ZELKO_WORK/removed.files" |
  grep -vixE '\./(SCONTRINO\.INP|SCONTRINO\.OUT|JQTZelkoData\.OUT|ZELKOPLU\.TXT)|\./windows/Installer' |
  grep -viE '^\./users/[^/]+/AppData/Local/Zelko(/|$)')
check "nothing else is left in C:\\" test -z "$left"
[ -z "$left" ] || echo "$left"

# --- the maker's control ------------------------------------------------------
step "the maker's control registered: the stand-in leaves its ProgID alone"
maker='{6F0C1A52-3D1E-4B8A-9C55-0E9A4D7B2C10}'
wine_tool reg add 'HKCR\JQTZelko.JqtEcrZelko' /ve /d 'the maker' /f
wine_tool reg add 'HKCR\JQTZelko.JqtEcrZelko\CLSID' /ve /d "$maker" /f
progid_names_maker() {
  [ "$(WINE_RUN_LIKE=$like "$run" reg query 'HKCR\JQTZelko.JqtEcrZelko' /s 2>/dev/null | tr -d '\r' |
       sed -n 's/^ *(Default) *REG_SZ *//p' | paste -sd' ')" = "the maker $maker" ]
}
snapshot maker
check "the package with the stand-in installs" msi /i "$ZELKO_PACKAGE" REGISTRATORE_PROVA=1
check "the stand-in is there" test -f "$folder/ZelkoStandIn.dll"
check "the ProgID still names the maker's control" progid_names_maker
check "the stand-in alone is removed" msi /i "$ZELKO_PACKAGE" REMOVE=RegistratoreProva
snapshot without-stand-in
check "... the DLL with it" test ! -e "$folder/ZelkoStandIn.dll"
check "... and its keys" diff /dev/null <(classes_changes maker without-stand-in)
check "... the rest stays" test -f "$folder/ZelkoDriver.exe"
check "the package is removed" msi /x "$ZELKO_PACKAGE"
check "the ProgID still names the maker's control after the removal" progid_names_maker
wine_tool reg delete 'HKCR\JQTZelko.JqtEcrZelko' /f

# --- earlier Windows versions ------------------------------------------------
# XP and Vista: no ZelkoService; XP, Vista and 7: nothing in C:\ (an existing
# c:\SCONTRINO.INP would change which command file runs there).
present() { test -f "$1"; }
absent() { test ! -e "$1"; }
find "$drive_c" -maxdepth 1 -type f -delete
for entry in winxp:absent vista:absent win7:present; do
  version=${entry%%:*}
  service=${entry#*:}
  step "Windows version $version"
  wine_tool reg add 'HKCU\Software\Wine' /v Version /d "$version" /f
  check "$version: the package installs" msi /i "$ZELKO_PACKAGE"
  check "$version: ZelkoDriver.exe installed" test -f "$folder/ZelkoDriver.exe"
  check "$version: ZelkoService.exe $service" "$service" "$folder/ZelkoService.exe"
  check "$version: no file in C:\\" test -z "$(find "$drive_c" -maxdepth 1 -type f)"
  check "$version: the package is removed" msi /x "$ZELKO_PACKAGE"
done

step "done"
echo "Install suite: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
