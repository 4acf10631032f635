#!/usr/bin/env bash
# Checks that a Windows program needs no DLL beyond those every Windows has.
#   check-dlls.sh OBJDUMP PROGRAM.exe
set -euo pipefail
objdump=$1 program=$2
system="advapi32 comctl32 comdlg32 gdi32 kernel32 msimg32 msvcrt shell32 user32 uxtheme version"
status=0
for dll in $("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p'); do
  name=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
  if [[ " $system " == *" $name "* ]]; then
    echo "system DLL: $dll"
  else
    echo "NOT a system DLL: $dll"
    status=1
  fi
done
exit $status
