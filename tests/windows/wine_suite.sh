#!/usr/bin/env bash
# The Windows programs under Wine; run by .ci/windows.sh inside xvfb-run.
# Environment: ZELKO_TESTS (the build folder whose programs and tests run),
# ZELKO_EMULATOR (the POSIX ZelkoEmulator), ZELKO_WORK (a scratch folder),
# WINEPREFIX (a folder for a fresh Wine prefix).
# Exits non-zero when any check fails.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"
run=$here/../../cmake/wine-run.sh
windows_tests=$ZELKO_TESTS/tests/windows/windows_tests.exe
wine_tool() { WINE_RUN_LIKE=$windows_tests "$run" "$@" >/dev/null 2>&1; }

started=$SECONDS
step() { echo "-- $* ($((SECONDS - started)) s)"; }

step "fresh Wine prefix"
wine_tool wineboot -i
# Windows without a window manager's frame: Wine then need not wait for one.
wine_tool reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
drive_c=$WINEPREFIX/drive_c
profile=$drive_c/users/$(id -un)
till=$drive_c/Cassa
mkdir -p "$till" "$drive_c/Dati" "$drive_c/Vuoto"
cp "$ZELKO_TESTS/driver/ZelkoDriver.exe" "$ZELKO_TESTS/loader/PLUZELKO.exe" "$till/"
cp "$ZELKO_TESTS/loader/PLUZELKO.exe" "$drive_c/Vuoto/"

# --- the unit suite built for Windows ----------------------------------------
step "unit suite"
for suite in "$ZELKO_TESTS"/tests/*/*_tests.exe; do
  name=$(basename "$suite" .exe)
  log=$ZELKO_WORK/$name.log
  if timeout 300 "$run" "$suite" >"$log" 2>&1; then
    passes=$((passes + 1))
    echo "   $name: $(grep -E '^\[  PASSED  \]' "$log" | tr -d '\r')"
  else
    failures=$((failures + 1))
    echo "FAILED: $name"
    tail -n 40 "$log"
  fi
done

# --- the register emulator ---------------------------------------------------
source "$here/emulators.sh"
scenario=$ZELKO_WORK/scenario.txt
journal=$ZELKO_WORK/main.journal
printf '%s\n' 'on command 3 status-update 24' 'on command 3 data Totale 1,00' \
  'on command 4 status-update 26' 'on command 4 data Grazie' >"$scenario"
start_emulator main "$scenario"
port=$started_port

# --- helpers -----------------------------------------------------------------
receipt() { crlf 1 115200,n,8,1 2 '=T1/$100' '=S' >"$1"; }
# Removes the driver's files wherever a run may have put them, in any case.
clean() {
  find "$drive_c" "$profile" "$till" -maxdepth 1 -type f \
    \( -iname 'scontrino.*' -o -iname 'jqtzelkodata.out' -o -iname 'risultato.out' \) -delete
  rm -f "$ZELKO_WORK/operator.log"
}
# Runs ZelkoDriver.exe with its arguments. CONTROL and OPERATOR give
# ZELKO_CONTROL and ZELKO_OPERATOR (default: the emulator and unattended);
# set empty, the variable is left unset, so the program's own default holds.
driver() {
  local control=${CONTROL-tcp:127.0.0.1:$port} operator=${OPERATOR-unattended}
  local settings=(ZELKO_OPERATOR_LOG="$ZELKO_WORK/operator.log")
  [ -n "$control" ] && settings+=(ZELKO_CONTROL="$control")
  [ -n "$operator" ] && settings+=(ZELKO_OPERATOR="$operator")
  env -u ZELKO_CONTROL -u ZELKO_OPERATOR "${settings[@]}" \
    timeout 120 "$run" "$till/ZelkoDriver.exe" "$@" >/dev/null 2>"$ZELKO_WORK/driver.err"
}
set_windows_version() { wine_tool reg add 'HKCU\Software\Wine' /v Version /d "$1" /f; }

# --- host name and file locations under each Windows version -----------------
# Where the result lands tells which host the driver saw (XP: c:\, Vista and 7:
# the profile folder, others: c:\ by default).
for entry in winxp:XP vista:VISTA win7:SEVEN win10:none; do
  version=${entry%%:*}
  name=${entry#*:}
  step "Windows version $version"
  set_windows_version "$version"
  check "$version: host name $name" env ZELKO_EXPECTED_HOST_NAME="$name" \
    "$run" "$windows_tests" --gtest_filter='*HostNameFollowsTheWindowsVersion' >/dev/null 2>&1
  clean
  receipt "$drive_c/SCONTRINO.INP"
  driver
  case $name in
    XP)
      check "$version: c:\\SCONTRINO.INP gives c:\\SCONTRINO.OUT" succeeded "$drive_c/SCONTRINO.OUT"
      check "$version: data file c:\\JQTZelkoData.OUT" holds "$drive_c/JQTZelkoData.OUT" 'Totale 1,00\r\nGrazie\r'
      clean
      receipt "$till/Scontrino.inp"
      driver
      check "$version: Scontrino.inp beside the program" succeeded "$drive_c/SCONTRINO.OUT"
      ;;
    VISTA | SEVEN)
      check "$version: c:\\SCONTRINO.INP gives the result in the profile" succeeded "$profile/SCONTRINO.OUT"
      check "$version: data file in the profile" holds "$profile/JQTZelkoData.OUT" 'Totale 1,00\r\nGrazie\r'
      clean
      receipt "$profile/Scontrino.inp"
      driver
      check "$version: Scontrino.inp in the profile" succeeded "$profile/SCONTRINO.OUT"
      ;;
    none)
      check "$version: c:\\SCONTRINO.OUT by default" succeeded "$drive_c/SCONTRINO.OUT"
      clean
      receipt "$drive_c/SCONTRINO.INP"
      driver 'C:\Dati\risultato.out'
      check "$version: result path from the command line" succeeded "$drive_c/Dati/risultato.out"
      rm -f "$drive_c/Dati/risultato.out"
      ;;
  esac
done

# --- the driver's failures, operator and settings ----------------------------
step "driver: failures, operator and settings"
set_windows_version winxp
clean
receipt "$drive_c/SCONTRINO.INP"
closed_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
CONTROL=tcp:127.0.0.1:$closed_port driver
check "no register on the TCP port: 107" holds "$drive_c/SCONTRINO.OUT" '107\r\nZELKO NON Collegato!\r'
check "the failure box was shown (style 16)" grep -q $'^box\t16\t' "$ZELKO_WORK/operator.log"

clean
receipt "$drive_c/SCONTRINO.INP"
CONTROL= driver
check "the maker's control not registered: 107, no crash" holds "$drive_c/SCONTRINO.OUT" \
  '107\r\nZELKO NON Collegato!\r'

# The real operator: paper notices appear and close while the run goes on.
clean
receipt "$drive_c/SCONTRINO.INP"
OPERATOR= driver
check "a run with the real notice window ends OK" succeeded "$drive_c/SCONTRINO.OUT"
check "the notice was shown" grep -qxF $'notice\tshow\tFine ROTOLO SCONTRINO,   SOSTITUIRE la carta !' \
  "$ZELKO_WORK/operator.log"
check "the notice was closed" grep -qxF $'notice\tclose' "$ZELKO_WORK/operator.log"

settings='HKCU\Software\VB and VBA Program Settings\JQT SPA\ZELKO'
query_setting() { WINE_RUN_LIKE=$windows_tests "$run" reg query "$settings" /v "$1" 2>/dev/null | tr -d '\r'; }
check "settings written to the registry as REG_SZ" \
  bash -c "grep -qE 'GestioneErrori +REG_SZ +S$' <<<\"\$1\"" _ "$(query_setting GestioneErrori)"
wine_tool reg add "$settings" /v GestioneErrori /t REG_SZ /d ' N ' /f
clean
receipt "$drive_c/SCONTRINO.INP"
CONTROL=tcp:127.0.0.1:$closed_port driver
check "GestioneErrori ' N ': the failure is reported" holds "$drive_c/SCONTRINO.OUT" '107\r\nZELKO NON Collegato!\r'
check "GestioneErrori ' N ': no failure box" bash -c "! grep -qs '^box' '$ZELKO_WORK/operator.log'"
check "GestioneErrori keeps its spaces" \
  bash -c "grep -qE 'GestioneErrori +REG_SZ +.N.$' <<<\"\$1\"" _ "$(query_setting GestioneErrori)"

# --- the loader's exit codes and its hand-over to the driver -----------------
step "loader"
article=$drive_c/Dati/plu.txt
crlf '11000001234567ACQUA MINERALE 1,5L 00000050 102X' >"$article"
loader() {  # folder, arguments; prints the exit code the shell sees
  "$run" "$1/PLUZELKO.exe" "${@:2}" >/dev/null 2>&1
  echo $?
}
crlf 'port=3' >"$till/config.cmd"
check "no article path: -2 (254 to the shell)" test "$(loader "$till")" = 254
check "article file missing: -2" test "$(loader "$till" 'C:\Dati\mancante.txt')" = 254
check "config.cmd missing: -1 (255 to the shell)" test "$(loader "$drive_c/Vuoto" 'C:\Dati\plu.txt')" = 255
crlf 'port=40000' >"$till/config.cmd"
check "port out of range: 6" test "$(loader "$till" 'C:\Dati\plu.txt')" = 6
crlf 'PORT = 3' 'baud=9600' >"$till/config.cmd"
clean
check "a good article file: 0" test "$(loader "$till" 'C:\Dati\plu.txt')" = 0
check "C:\\Scontrino.inp as the driver reads it" holds "$drive_c/Scontrino.inp" \
  '3\r\n9600,n,8,1\r\n7\r\n=t/*1\r\n=C4\r\n=D1/(Carico Avviato)\r\n>>/?P/(110000012345670ACQUA MINERALE 1,5L 00000050021)\r\n=C1\r\n=t/*0\r\n=D1/(Carico Completato)\r'
driver
check "the driver runs the loader's file" succeeded "$drive_c/SCONTRINO.OUT"
check "the article reached the register" grep -qF $'SendCommand\t>>/?P/(110000012345670ACQUA MINERALE 1,5L 00000050021)' "$journal"

# --- a standard user's C:\ and the run lock ----------------------------------
# C:\ as a standard user meets it on Windows 8 and later: it takes no new
# file, while the driver's files in it exist and may be written. chattr +i
# makes a folder so, and holds for root too.
step "C:\\ takes no new file: results in place, two runs at once"
clean
receipt "$drive_c/SCONTRINO.INP"
crlf 0000 VECCHIO >"$drive_c/SCONTRINO.OUT"
: >"$drive_c/JQTZelkoData.OUT"
if chattr +i "$drive_c" 2>/dev/null; then
  before=$(ls -A "$drive_c")
  driver
  check "C:\\ takes no new file: the result is written in place" succeeded "$drive_c/SCONTRINO.OUT"
  check "C:\\ takes no new file: the data file too" holds "$drive_c/JQTZelkoData.OUT" 'Totale 1,00\r\nGrazie\r'
  CONTROL=tcp:127.0.0.1:$closed_port driver
  check "C:\\ takes no new file: a failure replaces the earlier OK" holds "$drive_c/SCONTRINO.OUT" \
    '107\r\nZELKO NON Collegato!\r'
  # The second run waits on the first's lock, a named mutex, while the first
  # waits for the register; it reaches the register only after it.
  printf '%s\n' 'on prefix =T1 delay 8000' >"$ZELKO_WORK/lock.txt"
  start_emulator lock "$ZELKO_WORK/lock.txt"
  CONTROL=tcp:127.0.0.1:$started_port driver 'C:\Dati\primo.out' &
  first=$!
  for _ in $(seq 600); do grep -qF '=D1/(' "$ZELKO_WORK/lock.journal" 2>/dev/null && break; sleep 0.1; done
  CONTROL=tcp:127.0.0.1:$started_port driver 'C:\Dati\secondo.out' &
  second=$!
  sleep 4
  check "two runs at once: the second waits while the first holds the lock" \
    test "$(grep -c '^OpenPort' "$ZELKO_WORK/lock.journal")" = 1
  wait "$first" "$second"
  check "two runs at once: the first ends OK" succeeded "$drive_c/Dati/primo.out"
  check "two runs at once: the second ends OK" succeeded "$drive_c/Dati/secondo.out"
  check "two runs at once: the second opens the port after the first's last command" \
    test "$(grep -E '^(OpenPort|SendCommand.=S)' "$ZELKO_WORK/lock.journal" | cut -f1,2 | paste -sd' ')" \
    = $'OpenPort\t1 SendCommand\t=S OpenPort\t1 SendCommand\t=S'
  check "C:\\ takes no new file: nothing new in it" test "$(ls -A "$drive_c")" = "$before"
  chattr -i "$drive_c"
  rm -f "$drive_c/Dati/primo.out" "$drive_c/Dati/secondo.out"
else
  failures=$((failures + 1))
  echo "FAILED: chattr +i cannot make C:\\ take no new file on this file system"
fi

# --- the driver's ActiveX path with the registered stand-in control ----------
# ZELKO_CONTROL unset: the driver creates JQTZelko.JqtEcrZelko on its form,
# here ZelkoStandIn.dll, which forwards to a ZelkoEmulator over TCP.
if [ -f "$here/../../standin/CMakeLists.txt" ]; then
  step "the stand-in control on the driver's form"
  set_windows_version winxp
  wine_regsvr32() { WINE_RUN_LIKE=$windows_tests "$run" regsvr32 /s "$@" >/dev/null 2>&1; }
  cp "$ZELKO_TESTS/standin/ZelkoStandIn.dll" "$till/"
  check "the stand-in registers with regsvr32" wine_regsvr32 'C:\Cassa\ZelkoStandIn.dll'
  runs=0
  # Runs the receipt through the stand-in against an emulator with the
  # scenario lines given. OPERATOR as for driver; ZELKO_STANDIN_* pass through.
  standin_receipt() {
    runs=$((runs + 1))
    printf '%s\n' "$@" >"$ZELKO_WORK/standin$runs.txt"
    start_emulator "standin$runs" "$ZELKO_WORK/standin$runs.txt"
    clean
    receipt "$drive_c/SCONTRINO.INP"
    ZELKO_STANDIN_REGISTER=tcp:127.0.0.1:$started_port CONTROL= driver
  }
  logged() { [ "$(cat "$ZELKO_WORK/operator.log")" = "$(printf '%b' "$1")" ]; }

  OPERATOR= standin_receipt 'on command 3 status-update 24' 'on command 3 data Totale 1,00' \
    'on command 4 status-update 26' 'on command 4 data Grazie'
  check "stand-in: a receipt ends OK" succeeded "$drive_c/SCONTRINO.OUT"
  check "stand-in: DataReceived lines in the data file, in order" \
    holds "$drive_c/JQTZelkoData.OUT" 'Totale 1,00\r\nGrazie\r'
  check "stand-in: the paper-end notice raised, then closed" \
    logged 'notice\tshow\tFine ROTOLO SCONTRINO,   SOSTITUIRE la carta !\nnotice\tclose'
  check "stand-in: every operation reached the register" \
    grep -qF $'SendCommand\t=S' "$ZELKO_WORK/standin$runs.journal"

  ZELKO_CONTROL_LOG='C:\Dati\traccia.txt' standin_receipt
  check "stand-in: ZELKO_CONTROL_LOG traces each operation of the maker's control path" \
    grep -qE $'^[0-9-]{10}T[0-9:.]{12}Z\tSendCommand\t=S\t0\t\t[0-9]+\r?$' "$drive_c/Dati/traccia.txt"

  standin_receipt 'status cover-open cover-open'
  check "stand-in: the cover-open loop, then OK" succeeded "$drive_c/SCONTRINO.OUT"
  check "stand-in: two cover prompts" test "$(grep -c $'^box\t64\t.*\tCoperchio APERTO' "$ZELKO_WORK/operator.log")" = 2

  printf 'YES\n' >"$ZELKO_WORK/answers"
  OPERATOR=script:$ZELKO_WORK/answers standin_receipt 'status ready receipt-open ready'
  check "stand-in: open receipt, Yes: cancelled, then OK" succeeded "$drive_c/SCONTRINO.OUT"
  check "stand-in: Yes sends =k" grep -qF $'SendCommand\t=k' "$ZELKO_WORK/standin$runs.journal"
  check "stand-in: the question was answered Yes" grep -qE $'^box\t52\t.*\tYES$' "$ZELKO_WORK/operator.log"

  printf 'NO\nOK\nOK\n' >"$ZELKO_WORK/answers"
  OPERATOR=script:$ZELKO_WORK/answers standin_receipt 'status ready receipt-open receipt-open ready'
  check "stand-in: open receipt, No: finished by hand, then OK" succeeded "$drive_c/SCONTRINO.OUT"
  check "stand-in: No, then two manual-completion prompts" \
    test "$(cut -f2,5 "$ZELKO_WORK/operator.log" | paste -sd' ')" = $'52\tNO 64\tOK 64\tOK'
  check "stand-in: No sends no =k" bash -c "! grep -qF $'SendCommand\t=k' '$ZELKO_WORK/standin$runs.journal'"

  standin_receipt 'on command 4 fail 114 4711'
  check "stand-in: 114 gives ResultCodeExtended" holds "$drive_c/SCONTRINO.OUT" \
    '4711\r\nCOMANDO scontrino NON Eseguito!  Linea: 0005 Comando: =S\r'

  standin_receipt 'absent'
  check "stand-in: 107 from the register" holds "$drive_c/SCONTRINO.OUT" '107\r\nZELKO NON Collegato!\r'

  ZELKO_STANDIN_STRICT=1 standin_receipt
  check "stand-in, strict: the control sits on the form, the receipt ends OK" succeeded "$drive_c/SCONTRINO.OUT"
  # Without atl.dll the control is created bare: it still works, and strict
  # mode, which needs a client site and in-place activation, fails.
  WINEDLLOVERRIDES=atl=d standin_receipt
  check "no atl.dll: the bare control still runs the receipt" succeeded "$drive_c/SCONTRINO.OUT"
  check "no atl.dll: one line says so" grep -q '^ZelkoDriver: ZelkoForm: atl.dll cannot be loaded' "$ZELKO_WORK/driver.err"
  WINEDLLOVERRIDES=atl=d ZELKO_STANDIN_STRICT=1 standin_receipt
  check "no atl.dll, strict: a bare control is refused (107)" \
    holds "$drive_c/SCONTRINO.OUT" '107\r\nZELKO NON Collegato!\r'
  clean
  receipt "$drive_c/SCONTRINO.INP"
  (unset DISPLAY && CONTROL= driver)
  check "no display: the driver says why its form cannot be made" \
    grep -q '^ZelkoDriver: ZelkoForm: the form.s window cannot be made: CreateWindowExA(ZelkoForm) failed: error ' \
    "$ZELKO_WORK/driver.err"

  # --- ZelkoCheck, the stand-in registered right and wrong --------------------
  step "ZelkoCheck against the stand-in"
  cp "$ZELKO_TESTS/check/ZelkoCheck.exe" "$till/"
  # Runs ZelkoCheck beside the driver, ZELKO_CONTROL unset; its report goes to
  # $ZELKO_WORK/inspection.txt. Exit status 0 when every check holds.
  inspect() {
    env -u ZELKO_CONTROL "$run" "$till/ZelkoCheck.exe" >"$ZELKO_WORK/inspection.txt" 2>&1
  }
  # Whether the one failing finding of the control (beside the "control"
  # check it fails) is $1, and its text holds each of $2...
  only_failing() {
    local id=$1 text
    shift
    [ "$(grep '^\[NO\] ' "$ZELKO_WORK/inspection.txt" | grep -vc '^\[NO\] control: ')" = 1 ] || return 1
    text=$(grep -F "[NO] $id: " "$ZELKO_WORK/inspection.txt") || return 1
    for part in "$@"; do grep -qF -- "$part" <<<"$text" || return 1; done
  }
  check "ZelkoCheck: the registered stand-in holds throughout" inspect
  check "ZelkoCheck: the maker's control's findings are there" grep -qF '[OK] control.form: ' "$ZELKO_WORK/inspection.txt"
  WINEDLLOVERRIDES=atl=d ZELKO_STANDIN_STRICT=1 inspect
  check "ZelkoCheck, no atl.dll, strict: the control is not on the form, atl.dll named" \
    only_failing control.form 'atl.dll non si carica (LoadLibraryA(atl.dll): error 126'
  typelib_key='HKCR\TypeLib\{528E1C3B-3E7B-4C39-A9A2-10322DCBB432}\1.0\0\win32'
  cp "$ZELKO_TESTS"/tests/windows/{moved_dispatch_id,missing_event}.tlb "$till/"
  wine_tool reg add "$typelib_key" /ve /d 'C:\Cassa\moved_dispatch_id.tlb' /f
  inspect
  check "ZelkoCheck, a moved dispatch id: the operation, the id wanted and the id found" \
    only_failing control.operation.SendQuery \
    'SendQuery: dispatch id 0x60030035 non trovato; la libreria dei tipi ha SendQuery a 0x60030036'
  wine_tool reg add "$typelib_key" /ve /d 'C:\Cassa\missing_event.tlb' /f
  inspect
  check "ZelkoCheck, a missing event: DataReceived named" only_failing control.event.DataReceived \
    "DataReceived: l'interfaccia eventi DZelkoStandInEvents non lo dichiara"
  check "the stand-in registers again" wine_regsvr32 'C:\Cassa\ZelkoStandIn.dll'
  mv "$till/ZelkoStandIn.dll" "$till/ZelkoStandIn.away"
  inspect
  check "ZelkoCheck, the server file missing: its path named" \
    only_failing control.server 'Il file del controllo registrato manca: C:\Cassa\ZelkoStandIn.dll'
  clean
  receipt "$drive_c/SCONTRINO.INP"
  CONTROL= driver
  check "the server file missing: the driver says why the control cannot be made" \
    grep -q '^ZelkoDriver: ZelkoForm: the control cannot be created: CoCreateInstance failed: 0x' "$ZELKO_WORK/driver.err"
  mv "$till/ZelkoStandIn.away" "$till/ZelkoStandIn.dll"

  # --- ZelkoService over HTTP ------------------------------------------------
  # The service beside the till, called with curl: over TCP to the emulator,
  # and on the ActiveX path through the stand-in, where every run goes to the
  # service's one register thread whichever HTTP thread received it.
  step "ZelkoService over HTTP"
  cp "$ZELKO_TESTS/service/ZelkoService.exe" "$till/"
  service_pid=
  # Starts the service with the environment given (VAR=value ...), its store
  # in C:\Dati\store; sets service_url.
  start_service() {
    env -u ZELKO_CONTROL ZELKO_OPERATOR=unattended "$@" "$run" "$till/ZelkoService.exe" --listen 127.0.0.1:0 \
      --store 'C:\Dati\store' >"$ZELKO_WORK/service.out" 2>"$ZELKO_WORK/service.err" &
    service_pid=$!
    service_url=
    for _ in $(seq 1200); do  # two minutes: a first start under qemu is slow
      service_url=$(tr -d '\r' <"$ZELKO_WORK/service.out" | sed -n 's/^ZelkoService listening on \(http:.*\)$/\1/p')
      [ -n "$service_url" ] && return 0
      sleep 0.1
    done
    echo "FAILED: ZelkoService did not start"
    cat "$ZELKO_WORK/service.out" "$ZELKO_WORK/service.err"
    exit 1
  }
  stop_service() { kill "$service_pid" 2>/dev/null; wait "$service_pid" 2>/dev/null; }
  # POSTs the JSON $2 to the path $1, with any further curl arguments; prints
  # the reply, and keeps its headers in $ZELKO_WORK/headers.
  post() {
    curl -s -m 120 -D "$ZELKO_WORK/headers" -H 'Content-Type: application/json' "${@:3}" -d "$2" "$service_url${1#/}"
  }
  replayed() { tr -d '\r' <"$ZELKO_WORK/headers" | grep -qix 'Idempotent-Replayed: true'; }
  sent_count() { grep -cF $'SendCommand\t=T1/$100' "$1"; }
  receipt_body='{"port": "1", "speed": "115200,n,8,1", "commands": ["=T1/$100", "=S"]}'

  start_service ZELKO_CONTROL=tcp:127.0.0.1:$port
  check "service: the status names the TCP control" \
    bash -c "curl -s '${service_url}v1/status' | grep -qF '\"control\":\"tcp:127.0.0.1:$port\"'"
  reply=$(post v1/receipts "$receipt_body" -H 'Idempotency-Key: wine-1')
  check "service: a receipt over TCP ends OK" grep -q '"ok":true' <<<"$reply"
  check "service: the register's data lines come back" grep -qF '"data":["Totale 1,00","Grazie"]' <<<"$reply"
  before=$(sent_count "$journal")
  check "service: the same key again is replayed" bash -c "[ \"\$1\" = \"\$2\" ]" _ "$reply" \
    "$(post v1/receipts "$receipt_body" -H 'Idempotency-Key: wine-1')"
  check "service: ... with Idempotent-Replayed" replayed
  check "service: the key with another body: 422" test "$(post v1/receipts '{"port": "1", "speed": "115200,n,8,1",
    "commands": []}' -H 'Idempotency-Key: wine-1' -o /dev/null -w '%{http_code}')" = 422
  reply=$(post v1/articles '{"text": "11000001234567ACQUA MINERALE 1,5L 00000050 102X\r\n", "lowSpeed": false}')
  check "service: an article load ends OK" grep -q '"ok":true' <<<"$reply"
  check "service: the article reached the register" \
    grep -qF $'SendCommand\t>>/?P/(110000012345670ACQUA MINERALE 1,5L 00000050021)' "$journal"
  check "service: an empty Idempotency-Key: 400" \
    test "$(post v1/receipts "$receipt_body" -H 'Idempotency-Key;' -o /dev/null -w '%{http_code}')" = 400
  # One service per address (SO_EXCLUSIVEADDRUSE) and per store (LockFileEx).
  address=$(sed 's|^http://||; s|/$||' <<<"$service_url")
  check "service: a second service on the address in use does not start (2)" \
    bash -c "'$run' '$till/ZelkoService.exe' --listen '$address' --store 'C:\\Dati\\other' >/dev/null 2>&1; test \$? = 2"
  "$run" "$till/ZelkoService.exe" --listen 127.0.0.1:0 --store 'C:\Dati\store' >/dev/null 2>"$ZELKO_WORK/second.err" &
  second_pid=$!
  check "service: a second service on the store in use waits for it" bash -c \
    'for _ in $(seq 1200); do grep -q "is held by another ZelkoService" "$1" && exit 0; sleep 0.1; done; exit 1' \
    _ "$ZELKO_WORK/second.err"
  kill "$second_pid" 2>/dev/null; wait "$second_pid" 2>/dev/null
  stop_service
  start_service ZELKO_CONTROL=tcp:127.0.0.1:$port
  post v1/receipts "$receipt_body" -H 'Idempotency-Key: wine-1' >/dev/null
  check "service: after a restart the stored outcome is replayed" replayed
  check "service: no repeat reached the register" test "$(sent_count "$journal")" = "$before"
  stop_service

  check "service: a non-loopback address without a token does not start (2)" \
    bash -c "'$run' '$till/ZelkoService.exe' --listen 0.0.0.0:0 --store 'C:\\Dati\\store' >/dev/null 2>&1; test \$? = 2"

  start_emulator standin-service "$scenario"
  start_service ZELKO_STANDIN_REGISTER=tcp:127.0.0.1:$started_port
  check "service: ZELKO_CONTROL unset, the status names the maker's control" \
    bash -c "curl -s '${service_url}v1/status' | grep -qF '\"control\":\"the maker'\''s control JQTZelko.JqtEcrZelko'"
  clients=()
  for client in 1 2 3 4; do
    post v1/receipts "$receipt_body" -H "Idempotency-Key: standin-$client" >"$ZELKO_WORK/standin-$client.reply" &
    clients+=($!)
  done
  wait "${clients[@]}"
  check "service, stand-in: four clients at once, each receipt ends OK" \
    test "$(grep -l '"ok":true' "$ZELKO_WORK"/standin-?.reply | wc -l)" = 4
  check "service, stand-in: each reached the register once" \
    test "$(sent_count "$ZELKO_WORK/standin-service.journal")" = 4
  # Diagnostica: the control inspected and probed on the service's register thread.
  check "service, stand-in: the diagnostics site the maker's control on the form" \
    bash -c "curl -s -m 120 '${service_url}v1/diagnostics' | grep -qF '\"id\":\"control.form\",\"ok\":true'"
  check "service, stand-in: the probe of port 1 finds the register" \
    grep -qF '"answered":true' <<<"$(post v1/diagnostics/probe '{"port": "1"}')"
  stop_service

  check "the stand-in unregisters with regsvr32 /u" wine_regsvr32 /u 'C:\Cassa\ZelkoStandIn.dll'
  check "unregistered: its ProgID is gone" \
    bash -c "! WINE_RUN_LIKE='$windows_tests' '$run' reg query 'HKCR\\JQTZelko.JqtEcrZelko' >/dev/null 2>&1"
  standin_receipt
  check "unregistered control: 107" holds "$drive_c/SCONTRINO.OUT" '107\r\nZELKO NON Collegato!\r'
  check "unregistered control: the driver says so on stderr" \
    grep -q '^ZelkoDriver: ZelkoForm: the control is not registered: CLSIDFromProgID(JQTZelko.JqtEcrZelko) failed: ' \
    "$ZELKO_WORK/driver.err"
fi

step "done"
echo "Wine suite: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
