# Sourced by the Windows CI scripts: counts checks and names the failed ones.
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
