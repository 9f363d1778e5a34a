#!/usr/bin/env python3
"""The entry form as a spreadsheet user meets it, through openpyxl.

usage: meldebogen_xlsx.py check FILE single|team [GLIEDERUNG] [AGECLASS ...]
         reads the written form back: sheets, header, validations and their lists;
         exit 0 when every check holds, otherwise the failed checks on standard output.
       meldebogen_xlsx.py fill FORM OUT
         fills the form as a club would and saves it as OUT; standard input has one
         line per row: the row number, then the cells from column A on, separated by
         tabs. "#2012" is written as a number, "@2012-03-04" as a date cell, anything
         else as text ("" leaves the cell alone)."""

import datetime
import sys

import openpyxl

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def list_values(wb, formula):
    """The values a list validation offers: inline "a,b" or a range on another sheet."""
    formula = formula.lstrip("=")
    if formula.startswith('"'):
        return formula.strip('"').split(",")
    sheet, ref = formula.split("!")
    ws = wb[sheet.strip("'")]
    return [c.value for row in ws[ref.replace("$", "")] for c in row]


def check_form(path, mode, glied, classes):
    team = mode == "team"
    wb = openpyxl.load_workbook(path)
    check(wb.sheetnames[:2] == ["Hinweise", "Meldungen"], f"sheets {wb.sheetnames}")
    if len(failures):
        return
    hints = [str(v) for row in wb["Hinweise"].iter_rows(values_only=True) for v in row if v]
    for ac in classes:
        check(ac in hints, f"Hinweise lacks the age class {ac}")
    check(any("So füllen Sie" in h for h in hints), "Hinweise lacks how to fill in")

    ws = wb["Meldungen"]
    header = ["Mannschaft", "Zusatz"] if team else ["Name", "Vorname", "Jahrgang"]
    header += ["Geschlecht", "Altersklasse", "Gliederung"]
    check([c.value for c in ws[1] if c.value] == header, f"header {[c.value for c in ws[1]]}")
    check(all(c.font.b for c in ws[1] if c.value), "header not bold")
    check(ws.freeze_panes == "A2", f"frozen at {ws.freeze_panes}")
    col = {name: openpyxl.utils.get_column_letter(i + 1) for i, name in enumerate(header)}

    by_col = {}
    for dv in ws.data_validations.dataValidation:
        ref = str(dv.sqref)
        by_col[ref[0]] = dv
        check(ref.endswith("501") and ref[1:].startswith("2:"), f"validation range {ref}")
    sex = by_col.get(col["Geschlecht"])
    check(sex is not None and sex.type == "list" and list_values(wb, sex.formula1) == ["w", "m"],
          "Geschlecht list w,m")
    ak = by_col.get(col["Altersklasse"])
    check(ak is not None and ak.type == "list", "Altersklasse list")
    if ak is not None:
        offered = [v for v in list_values(wb, ak.formula1) if v]
        check(offered == classes, f"Altersklasse list {offered}")
    gl = by_col.get(col["Gliederung"])
    check(gl is not None and gl.type == "list" and gl.errorStyle == "warning",
          "Gliederung list accepting any text with a warning")
    if gl is not None:
        codes = list_values(wb, gl.formula1)
        for code in ("NI", "WÜ", "OBB"):
            check(code in codes, f"Gliederung list lacks {code}: {codes}")
    if not team:
        year = by_col.get(col["Jahrgang"])
        check(year is not None and year.type == "whole" and year.operator in (None, "between")
              and int(year.formula1) <= 1950 and int(year.formula2) >= 2020,
              "Jahrgang whole-number validation")
    g = col["Gliederung"]
    if glied:
        check(ws[f"{g}2"].value == glied and ws[f"{g}501"].value == glied,
              f"Gliederung filled in: {ws[g + '2'].value!r} .. {ws[g + '501'].value!r}")
        check(ws[f"{g}502"].value is None, "Gliederung beyond row 501")
    else:
        check(ws[f"{g}2"].value is None, "Gliederung filled in without being asked")


def fill(form, out):
    wb = openpyxl.load_workbook(form)
    ws = wb["Meldungen"]
    for line in sys.stdin.read().splitlines():
        if not line.strip():
            continue
        parts = line.split("\t")
        row = int(parts[0])
        for k, v in enumerate(parts[1:]):
            if v == "":
                continue
            cell = ws.cell(row=row, column=k + 1)
            if v.startswith("#"):
                cell.value = int(v[1:])
            elif v.startswith("@"):
                cell.value = datetime.datetime.strptime(v[1:], "%Y-%m-%d")
                cell.number_format = "DD.MM.YYYY"
            else:
                cell.value = v
                cell.data_type = "s"
    wb.save(out)


def main():
    if sys.argv[1] == "check":
        path, mode = sys.argv[2], sys.argv[3]
        glied = sys.argv[4] if len(sys.argv) > 4 else ""
        check_form(path, mode, glied, sys.argv[5:])
        for f in failures:
            print(f)
        return 1 if failures else 0
    fill(sys.argv[2], sys.argv[3])
    return 0


if __name__ == "__main__":
    sys.exit(main())
