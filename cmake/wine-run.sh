#!/bin/sh
# Runs a Windows program under Wine: the 64-bit loader for a 64-bit program,
# otherwise ZELKO_WINE32 (a runner for 32-bit programs, such as wine32q on a
# kernel that runs no 32-bit code), or else the ordinary wine command. For
# Wine's own tools (wineboot, reg, regsvr32), WINE_RUN_LIKE names a program
# whose kind picks the loader. WINEPREFIX and WINEDEBUG come from the caller.
kind=${WINE_RUN_LIKE:-$1}
if od -An -tx1 -N4096 "$kind" 2>/dev/null | tr -d ' \n' | grep -q '504500006486'; then
  for loader in /usr/lib/wine/wine64 wine64; do
    if command -v "$loader" >/dev/null 2>&1; then
      WINELOADER=${WINELOADER:-$loader} exec "$loader" "$@"
    fi
  done
fi
exec "${ZELKO_WINE32:-wine}" "$@"
