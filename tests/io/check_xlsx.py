#!/usr/bin/env python3
"""Reads a workbook of the export fixture back with openpyxl and checks what a
spreadsheet user sees: sheets, header, cell types, texts.

usage: check_xlsx.py FILE single|team|empty
       check_xlsx.py FILE large N     (a generated competition of N participants)
Exit 0 when every check holds; otherwise the failed checks on standard output."""

import datetime
import sys

import openpyxl
from openpyxl.utils.escape import unescape

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def is_number(v):
    return isinstance(v, (int, float)) and not isinstance(v, bool)


def header(team):
    names = ["ORTSGRUPPE", "ZUSATZ", "TEILN"] if team else ["NAME", "VORNAME", "GEBDATUM"]
    names += ["GESAMTPKT", "PLATZ", "ALTERSKL", "GLIEDERUNG"]
    for i in range(1, 6):
        names += [f"ZEIT{i}", f"ABZUG{i}", f"PUNKTE{i}", f"LAUF{i}", f"BAHN{i}"]
    return names + ["HLW", "HLWZEIT", "HLWBAHN"]


def rows_by_name(ws):
    names = [c.value for c in ws[1]]
    rows = {}
    for cells in ws.iter_rows(min_row=2):
        rows[cells[0].value] = {n: c for n, c in zip(names, cells)}
    return rows


def check_sheet_frame(ws, rows, team):
    title = ws.title
    check([c.value for c in ws[1]] == header(team), f"{title}: header {[c.value for c in ws[1]]}")
    check(all(c.font.b for c in ws[1]), f"{title}: header not bold")
    check(ws.freeze_panes == "A2", f"{title}: frozen at {ws.freeze_panes}")
    check(ws.max_row == rows + 1, f"{title}: {ws.max_row - 1} rows")
    check(ws.auto_filter.ref == f"A1:AI{rows + 1}", f"{title}: autofilter {ws.auto_filter.ref}")


def check_empty(wb):
    check(wb.sheetnames == ["Alle Teilnehmer"], f"sheet names {wb.sheetnames}")
    check_sheet_frame(wb.worksheets[0], 0, False)


# A generated competition: the first sheet holds every participant, and its rows are
# those of the age-class sheets one after the other.
def check_large(wb, count):
    sheets = wb.worksheets
    everybody = list(sheets[0].iter_rows(min_row=2, values_only=True))
    check(len(everybody) == count, f"{len(everybody)} rows of {count}")
    by_class = [r for ws in sheets[1:] for r in ws.iter_rows(min_row=2, values_only=True)]
    check(by_class == everybody, "the age-class sheets differ from the first sheet")
    for ws in sheets:
        check_sheet_frame(ws, ws.max_row - 1, False)
    for r in everybody:
        check(len(r) == 35 and is_number(r[3]) and is_number(r[4]) and isinstance(r[5], str),
              f"row {r}")
        if failures:
            break


def main():
    path, mode = sys.argv[1], sys.argv[2]
    team = mode == "team"
    wb = openpyxl.load_workbook(path)
    if mode == "empty":
        check_empty(wb)
    elif mode == "large":
        check_large(wb, int(sys.argv[3]))
    else:
        check_fixture(wb, team)
    for f in failures:
        print(f)
    return 1 if failures else 0


def check_fixture(wb, team):
    check(wb.sheetnames == ["Alle Teilnehmer", "AK 13_14 Mädchen", "AK offen"],
          f"sheet names {wb.sheetnames}")
    # The competition's date at noon: the same competition gives the same bytes.
    check(wb.properties.created == datetime.datetime(2004, 6, 12, 12, 0),
          f"created {wb.properties.created}")
    expected_rows = {"Alle Teilnehmer": 6, "AK 13_14 Mädchen": 3, "AK offen": 3}
    first, second = header(team)[0], header(team)[1]
    for ws in wb.worksheets:
        title = ws.title
        check_sheet_frame(ws, expected_rows.get(title, 0), team)
        for cells in ws.iter_rows(min_row=2):
            for c in cells:
                check(c.data_type != "f", f"{title}!{c.coordinate}: a formula")
            by = dict(zip(header(team), cells))
            for col in ("GESAMTPKT", "PLATZ", "PUNKTE1", "LAUF1", "BAHN1", "HLWBAHN"):
                check(is_number(by[col].value), f"{title}!{by[col].coordinate}: {col} not a number")
            # Points are the nearest doubles to their two-decimal values (687.06, not
            # 687.0600000000001), so that sums and comparisons behave.
            for col in ("GESAMTPKT", "PUNKTE1", "HLW"):
                v = by[col].value
                check(not is_number(v) or v == round(v, 2), f"{title}!{by[col].coordinate}: {v!r}")
            if team:
                check(by["TEILN"].value is None, f"{title}: TEILN carries {by['TEILN'].value!r}")

    ws = wb["Alle Teilnehmer"]
    # Widths follow the column set: name 20, time 7, plus room for the filter button.
    check(abs(ws.column_dimensions["A"].width - (32 if team else 22)) < 1,
          f"width of A {ws.column_dimensions['A'].width}")
    check(abs(ws.column_dimensions["H"].width - 9) < 1, f"width of H {ws.column_dimensions['H'].width}")
    rows = rows_by_name(ws)
    s = rows.get("Schröder")
    check(s is not None, f"no row Schröder among {list(rows)}")
    if s:
        check(s[second].value == "Jürgen", f"{second} {s[second].value!r}")
        if not team:
            check(s["GEBDATUM"].value == "12.03.1990", f"GEBDATUM {s['GEBDATUM'].value!r}")
        check(s["ALTERSKL"].value == "AK 13/14 Mädchen", f"ALTERSKL {s['ALTERSKL'].value!r}")
        check(s["ZEIT1"].value == "1:01,50", f"ZEIT1 {s['ZEIT1'].value!r}")
        check(s["ABZUG1"].value == 5, f"ABZUG1 {s['ABZUG1'].value!r}")
        check(s["LAUF1"].value == 2 and s["BAHN1"].value == 4, "heat and lane")
        check(s["HLW"].value == 85.5, f"HLW {s['HLW'].value!r}")
        check(s["HLWZEIT"].value == "09:05", f"HLWZEIT {s['HLWZEIT'].value!r}")
        check(s["PLATZ"].value in (1, 2, 3), f"PLATZ {s['PLATZ'].value!r}")
        check(s["GESAMTPKT"].number_format == "0.00", f"format {s['GESAMTPKT'].number_format}")
    a = rows.get("Absent")
    check(a is not None and a["ABZUG2"].value == "n.a.", "status mark n.a.")
    e = rows.get("Ärger")
    check(e is not None, "no row Ärger")
    if e:
        check(e[second].value == "Ödi Ülf ß", f"{second} {e[second].value!r}")
        check(e["ABZUG1"].value == "disq.", f"ABZUG1 {e['ABZUG1'].value!r}")
    link = [n for n in rows if isinstance(n, str) and n.startswith("=HYPERLINK")]
    check(len(link) == 1, f"the =HYPERLINK name {list(rows)}")
    if link:
        check(rows[link[0]][first].data_type == "s", "=HYPERLINK name not a string")
    m = rows.get('<b>"Ed"</b>')
    check(m is not None and m[second].value == "Anna; Lena", f"markup name {list(rows)}")
    # openpyxl leaves the workbook's _xHHHH_ escapes as they are; a spreadsheet reads
    # them as the characters they stand for.
    odd = [n for n in rows if isinstance(n, str) and unescape(n) == " Tab\x01_x0041_ "]
    check(len(odd) == 1, f"the name with a control character {list(rows)}")
    if odd:
        check(rows[odd[0]][second].value == "a&b<c>", f"{second} {rows[odd[0]][second].value!r}")


if __name__ == "__main__":
    sys.exit(main())
