#!/usr/bin/env python3
"""Reads a workbook of the export fixture back with openpyxl and checks what a
spreadsheet user sees: sheets, header, cell types, texts.

usage: check_xlsx.py FILE single|team
Exit 0 when every check holds; otherwise the failed checks on standard output."""

import sys

import openpyxl

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


def main():
    path, mode = sys.argv[1], sys.argv[2]
    team = mode == "team"
    wb = openpyxl.load_workbook(path)
    check(wb.sheetnames == ["Alle Teilnehmer", "AK 13_14 Mädchen", "AK offen"],
          f"sheet names {wb.sheetnames}")
    expected_rows = {"Alle Teilnehmer": 5, "AK 13_14 Mädchen": 3, "AK offen": 2}
    first, second = header(team)[0], header(team)[1]
    for ws in wb.worksheets:
        title = ws.title
        check([c.value for c in ws[1]] == header(team), f"{title}: header {[c.value for c in ws[1]]}")
        check(all(c.font.b for c in ws[1]), f"{title}: header not bold")
        check(ws.freeze_panes == "A2", f"{title}: frozen at {ws.freeze_panes}")
        rows = expected_rows.get(title, 0)
        check(ws.max_row == rows + 1, f"{title}: {ws.max_row - 1} rows")
        check(ws.auto_filter.ref == f"A1:AI{rows + 1}", f"{title}: autofilter {ws.auto_filter.ref}")
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

    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
