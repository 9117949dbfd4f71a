#!/usr/bin/env bash
# Checks a program built for a till: a 32-bit Windows GUI program (or DLL)
# for Windows XP that needs nothing but system DLLs and carries the project's
# version, a program also the manifest that runs it as its caller, never
# virtualized; with --console, a console program for Windows XP; with
# --console-windows7, a console program for Windows 7.
# Usage: check_program.sh [--console | --console-windows7] <program.exe|library.dll>
set -euo pipefail
console=false
console_windows7=false
case "$1" in
  --console) console=true; shift ;;
  --console-windows7) console=true; console_windows7=true; shift ;;
esac
program=$1
objdump=i686-w64-mingw32-objdump
headers=$($objdump -p "$program")
ok=true
grep -q 'file format pei-i386' <<<"$headers" || { echo "$program: not a 32-bit Windows program"; ok=false; }
if $console; then
  grep -q 'Subsystem.*(Windows CUI)' <<<"$headers" || { echo "$program: not a console program"; ok=false; }
elif [[ $program != *.dll ]]; then
  grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || { echo "$program: not a GUI program"; ok=false; }
fi
system='^(KERNEL32|USER32|GDI32|ADVAPI32|OLE32|OLEAUT32|SHLWAPI|WS2_32|MSVCRT)\.DLL$'
while read -r dll; do
  if ! grep -qiE "$system" <<<"$dll"; then
    echo "$program: needs $dll"
    ok=false
  fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
# Functions Windows XP lacks: a program importing one of them does not start there.
vista='GetTickCount64|InitializeSRWLock|AcquireSRWLock(Exclusive|Shared)|InitializeConditionVariable|'
vista+='SleepConditionVariable(CS|SRW)|WakeA?l?l?ConditionVariable|InitOnceExecuteOnce|FlsAlloc|'
vista+='GetFileInformationByHandleEx|CreateSymbolicLink[AW]|GetFinalPathNameByHandle[AW]'
if ! $console_windows7 && grep -qwE "$vista" <<<"$headers"; then
  echo "$program: imports functions Windows XP lacks: $(grep -owE "$vista" <<<"$headers" | sort -u | tr '\n' ' ')"
  ok=false
fi
if [[ $program != *.dll ]] && ! grep -q 'requestedExecutionLevel level="asInvoker"' <<<"$(strings "$program")"; then
  echo "$program: no manifest with requestedExecutionLevel asInvoker"
  ok=false
fi
version=$(sed -n 's/^project(Zelko VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
strings -el "$program" | grep -qx "$version" || { echo "$program: no version $version in its resources"; ok=false; }
$ok
