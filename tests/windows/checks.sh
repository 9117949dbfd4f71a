# Sourced by the CI test scripts: counts checks and names the failed ones,
# and the tests they share.
passes=0
failures=0
check() {  # description, command...
  local description=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    echo "FAILED: $description"
  fi
}
crlf() { printf '%s\r\n' "$@"; }
# A successful result: a four-digit status tail, then OK.
succeeded() { [ -f "$1" ] && tr -d '\r' <"$1" | paste -sd' ' | grep -qE '^[0-9]{4} OK$'; }
holds() { [ -f "$1" ] && [ "$(cat "$1")" = "$(printf '%b' "$2")" ]; }
# Waits up to $3 seconds for the process $2 to write the line where it listens
# (ZelkoService) into the file $1, then stops it; fails without that line.
listened_then_stopped() {
  local output=$1 process=$2 line='^ZelkoService listening on'
  for _ in $(seq $(($3 * 10))); do
    grep -q "$line" "$output" && break
    sleep 0.1
  done
  kill "$process" 2>/dev/null
  wait "$process" 2>/dev/null
  grep -q "$line" "$output"
}
