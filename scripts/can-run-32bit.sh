#!/usr/bin/env bash
# Exit status 0 when this machine's kernel runs 32-bit x86 programs (some
# refuse them with "Exec format error"), 1 when it does not. Runs a 96-byte
# ELF32 that only calls exit(42).
set -u
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
python3 - "$probe" <<'PY'
import struct, sys
code = bytes([0xB8, 1, 0, 0, 0, 0xBB, 42, 0, 0, 0, 0xCD, 0x80])  # exit(42) via int 0x80
base, size = 0x08048000, 52 + 32 + 12
header = struct.pack('<16sHHIIIIIHHHHHH', b'\x7fELF\x01\x01\x01' + bytes(9),
                     2, 3, 1, base + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0)
segment = struct.pack('<8I', 1, 0, base, base, size, size, 5, 0x1000)
open(sys.argv[1], 'wb').write(header + segment + code)
PY
chmod +x "$probe"
"$probe" 2>/dev/null
[ $? -eq 42 ]
