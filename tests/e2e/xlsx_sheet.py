"""Workbooks for the organiser runs: an entry sheet written by hand with its rows and cells out
of order (as some programs write them), and the result workbook read back with openpyxl."""

import zipfile
from xml.sax.saxutils import escape

import openpyxl

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
</Types>"""

ROOT_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""

WORKBOOK = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="Entries" sheetId="1" r:id="rId1"/></sheets>
</workbook>"""

WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
</Relationships>"""


def _cell(ref, value):
    if value.isdigit():
        return '<c r="%s"><v>%s</v></c>' % (ref, value)
    return '<c r="%s" t="inlineStr"><is><t>%s</t></is></c>' % (ref, escape(value))


def write_shuffled_sheet(path, athletes, event):
    """Event cells C1, C3, C4, F4, A7, C7, E7 and athletes from row 11 (columns A to H), with
    the rows written bottom up and every row's cells right to left."""
    rows = {}
    for ref, value in zip(["C1", "C3", "C4", "F4", "A7", "C7", "E7"], event):
        rows.setdefault(int(ref[1:]), []).append((ref, value))
    for i, athlete in enumerate(athletes):
        row = 11 + i
        rows[row] = [("%s%d" % (col, row), value) for col, value in zip("ABCDEFGH", athlete)]
    xml = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
           '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>']
    for row in sorted(rows, reverse=True):
        xml.append('<row r="%d">' % row)
        xml.extend(_cell(ref, value) for ref, value in reversed(rows[row]))
        xml.append("</row>")
    xml.append("</sheetData></worksheet>")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", ROOT_RELS)
        z.writestr("xl/workbook.xml", WORKBOOK)
        z.writestr("xl/_rels/workbook.xml.rels", WORKBOOK_RELS)
        z.writestr("xl/worksheets/sheet1.xml", "".join(xml))


def read_rows(path):
    """The active sheet as rows of texts, indexed from 1 (rows[0] is empty); a number cell
    comes back as a number, which the callers then fail on, since every result is text."""
    sheet = openpyxl.load_workbook(path).active
    rows = [[]]
    for row in sheet.iter_rows(min_row=1, max_row=max(sheet.max_row, 20), max_col=11):
        rows.append(["" if c.value is None else c.value if isinstance(c.value, str)
                     else repr(c.value) for c in row])
    return rows
