"""Reads a result workbook back with openpyxl and compares it with its template.

Prints one line per written cell: "<ref> <data type> <value>", then one "problem: ..." line for
every cell past the results that differs from the template, every row of the event or the
results without a height of its own, and every package part other than the sheet that is not byte
for byte the template's.
    read_workbook.py <template.xlsx> <result.xlsx> <number of places>
"""
import sys
import zipfile

import openpyxl

template_path, result_path, places = sys.argv[1], sys.argv[2], int(sys.argv[3])
sheet_part = "xl/worksheets/sheet1.xml"
result = openpyxl.load_workbook(result_path).active
template = openpyxl.load_workbook(template_path).active

written = ["C1", "C3", "C4", "G4", "A7", "C7", "E7"]
written += [result.cell(r, c).coordinate for r in range(10, 11 + places) for c in range(1, 12)]
for ref in written:
    cell = result[ref]
    print(ref, cell.data_type, "" if cell.value is None else cell.value)
    if tuple(cell._style) != tuple(template[ref]._style):
        print("problem: style of", ref)

for r in range(11 + places, 21):
    for c in range(1, 12):
        a, b = result.cell(r, c), template.cell(r, c)
        if a.value != b.value or tuple(a._style) != tuple(b._style):
            print("problem: row", r, "column", c, "changed")

# The event line and the result rows carry their heights: LibreOffice opens a row without one
# at a single line, whatever its text.
for r in [7] + list(range(11, 21)):
    dimension = result.row_dimensions[r]
    if dimension.ht is None or not dimension.customHeight:
        print("problem: row", r, "has no height of its own")

with zipfile.ZipFile(template_path) as t, zipfile.ZipFile(result_path) as o:
    if sorted(t.namelist()) != sorted(o.namelist()):
        print("problem: parts", t.namelist(), o.namelist())
    for name in t.namelist():
        if name != sheet_part and name in o.namelist():
            ti, oi = t.getinfo(name), o.getinfo(name)
            if t.read(name) != o.read(name) or (ti.CRC, ti.compress_size) != (oi.CRC, oi.compress_size):
                print("problem: part", name, "changed")
