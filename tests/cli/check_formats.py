#!/usr/bin/env python3
"""Parses mnr2txt's CSV and JSON with Python's own csv and json modules and
checks that they carry exactly the texts of the genre files. The CSV is the
default one, with its formula guard: no text cell may begin with a character
a spreadsheet would run unless an apostrophe comes first, and removing one
leading apostrophe from every text cell must give the texts back.

    check_formats.py BASE.csv BASE.json BASE   (BASE0.txt ... BASE7.txt in UTF-8)
Exit status 0 when everything agrees; otherwise the first difference is printed.
"""
import csv
import json
import sys


def genre_text(name, problems):
    lines = [name]
    for question, choices in problems:
        lines += ["", question, *choices]
    return "".join(line + "\r\n" for line in lines)


GUARDED = ("=", "+", "-", "@", "\t", "\r", "'")


def unguarded(cell):
    if cell.startswith("'"):
        return cell[1:]
    assert not cell.startswith(GUARDED), f"unguarded cell {cell!r}"
    return cell


def main(csv_path, json_path, base):
    files = []
    for g in range(8):
        with open(f"{base}{g}.txt", encoding="utf-8", newline="") as f:
            files.append(f.read())

    with open(json_path, "rb") as f:
        raw = f.read()
    assert not raw.startswith(b"\xef\xbb\xbf"), "JSON starts with a byte-order mark"
    document = json.loads(raw.decode("utf-8"))
    assert [g["number"] for g in document["genres"]] == list(range(8))
    for g, genre in enumerate(document["genres"]):
        problems = [(p["question"], p["choices"]) for p in genre["problems"]]
        assert genre["count"] == len(problems), f"genre {g}: count {genre['count']}"
        assert all(len(c) == 5 for _, c in problems)
        assert genre_text(genre["name"], problems) == files[g], f"JSON genre {g} differs"

    with open(csv_path, "rb") as f:
        assert f.read(3) == b"\xef\xbb\xbf", "CSV without a byte-order mark"
    with open(csv_path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, strict=True))
    header = ["genre", "name", "question"] + [f"choice{i}" for i in range(1, 6)]
    assert rows[0] == header, rows[0]
    by_genre = {g: [] for g in range(8)}
    names = {}
    for row in rows[1:]:
        assert len(row) == 8, row
        g = int(row[0])
        texts = [unguarded(cell) for cell in row[1:]]
        names[g] = texts[0]
        by_genre[g].append((texts[1], texts[2:]))
    for g in range(8):
        if by_genre[g]:
            assert genre_text(names[g], by_genre[g]) == files[g], f"CSV genre {g} differs"
        else:
            assert files[g].count("\r\n") == 1, f"genre {g} has problems but no CSV row"
    with open(csv_path, "rb") as f:
        assert f.read().endswith(b"\r\n")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(*sys.argv[1:]))
    except AssertionError as e:
        print(f"check_formats: {e}", file=sys.stderr)
        sys.exit(1)
