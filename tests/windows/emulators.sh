# Sourced by the Wine suites: ZelkoEmulator processes on free loopback ports,
# stopped when the suite exits. Needs ZELKO_EMULATOR and ZELKO_WORK.
emulators=()
trap 'kill "${emulators[@]}" 2>/dev/null; wait 2>/dev/null' EXIT
# Starts a ZelkoEmulator named $1 with the scenario file $2 (journal:
# $ZELKO_WORK/$1.journal) and sets started_port to the port it listens on.
start_emulator() {
  local name=$1 scenario=$2 console
  mkfifo "$ZELKO_WORK/$name.console"
  exec {console}<>"$ZELKO_WORK/$name.console"  # its console stays open until the end
  "$ZELKO_EMULATOR" --listen 127.0.0.1:0 --quiet --scenario "$scenario" --journal "$ZELKO_WORK/$name.journal" \
    <"$ZELKO_WORK/$name.console" >"$ZELKO_WORK/$name.out" 2>&1 &
  emulators+=($!)
  started_port=
  for _ in $(seq 100); do
    started_port=$(sed -n 's/^ZelkoEmulator listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$ZELKO_WORK/$name.out")
    [ -n "$started_port" ] && return 0
    sleep 0.1
  done
  echo "FAILED: ZelkoEmulator did not start"
  cat "$ZELKO_WORK/$name.out"
  exit 1
}
