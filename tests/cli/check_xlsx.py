#!/usr/bin/python3
"""Reads mnr2txt's .xlsx back and checks it against its CSV written without
the formula guard: the zip (stored entries whose local headers carry size and
CRC-32), then with openpyxl every cell's value and type, the frozen header
row and the filter; with --libreoffice also LibreOffice's own reading,
converted back to CSV by `soffice --headless`.

    check_xlsx.py BASE.xlsx BASE.csv [--libreoffice]
Exit status 0 when everything agrees; otherwise the first difference is printed.
Run with Debian's Python, which has openpyxl.
"""
import csv
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile

import openpyxl

PARTS = ["[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
         "xl/styles.xml", "xl/worksheets/sheet1.xml"]


def unescape(text):
    """The spreadsheet format's escape of a character, _xHHHH_, which
    openpyxl leaves in the text."""
    return re.sub("_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def check_zip(path):
    with open(path, "rb") as f:
        raw = f.read()
    with zipfile.ZipFile(path) as z:
        assert z.namelist() == PARTS, z.namelist()
        assert z.testzip() is None, "a CRC-32 differs"
        for info in z.infolist():
            assert info.compress_type == zipfile.ZIP_STORED, info
            assert not info.flag_bits & 8, f"{info.filename}: a data descriptor"
            assert info.date_time == (1980, 1, 1, 0, 0, 0), info.date_time
            (signature, _, _, _, _, _, crc, compressed, size, name_length,
             _) = struct.unpack_from("<IHHHHHIIIHH", raw, info.header_offset)
            assert signature == 0x04034B50, info.filename
            assert (crc, compressed, size) == (info.CRC, info.compress_size, info.file_size), \
                f"{info.filename}: the local header's size or CRC-32"
            assert name_length == len(info.filename.encode())


def check_cells(path, rows):
    workbook = openpyxl.load_workbook(path)
    assert workbook.sheetnames == ["problems"], workbook.sheetnames
    sheet = workbook.active
    assert sheet.freeze_panes == "A2", sheet.freeze_panes
    assert sheet.auto_filter.ref == f"A1:H{len(rows)}", sheet.auto_filter.ref
    assert (sheet.max_row, sheet.max_column) == (len(rows), 8), (sheet.max_row, sheet.max_column)
    for r, row in enumerate(rows, start=1):
        assert len(row) == 8, row
        for c, text in enumerate(row, start=1):
            cell = sheet.cell(r, c)
            where = f"{cell.coordinate} {text!r}: {cell.value!r} ({cell.data_type})"
            if r > 1 and c == 1:
                assert cell.data_type == "n" and cell.value == int(text), where
            elif text == "":
                assert cell.value is None, where
            else:
                assert cell.data_type == "s" and isinstance(cell.value, str), where
                assert unescape(cell.value) == text, where


def check_libreoffice(path, rows):
    with tempfile.TemporaryDirectory() as work:
        # A profile of its own: no other LibreOffice run shares or keeps it.
        subprocess.run(["soffice", f"-env:UserInstallation=file://{work}/profile", "--headless",
                        "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir", work,
                        path], check=True, capture_output=True, timeout=120)
        name = os.path.splitext(os.path.basename(path))[0] + ".csv"
        with open(os.path.join(work, name), encoding="utf-8", newline="") as f:
            converted = list(csv.reader(f, strict=True))
    # LibreOffice leaves out the empty cells that end a row, and keeps the
    # line breaks of a cell of several lines as LF (CR LF and CR become LF).
    def lines(text):
        return text.replace("\r\n", "\n").replace("\r", "\n") if "\n" in text else text

    for r, (mine, theirs) in enumerate(zip(rows, converted), start=1):
        mine = [lines(text) for text in mine]
        theirs = [lines(text) for text in theirs]
        assert theirs + [""] * (8 - len(theirs)) == mine, f"row {r}: LibreOffice {theirs!r}, CSV {mine!r}"
    assert len(converted) == len(rows), f"LibreOffice: {len(converted)} rows"


def main(xlsx_path, csv_path, *options):
    with open(csv_path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, strict=True))
    check_zip(xlsx_path)
    check_cells(xlsx_path, rows)
    if "--libreoffice" in options:
        check_libreoffice(xlsx_path, rows)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(*sys.argv[1:]))
    except AssertionError as e:
        print(f"check_xlsx: {e}", file=sys.stderr)
        sys.exit(1)
