#!/usr/bin/env bash
# Benchmark of the streaming sheet reader (QXlsx::Document::read_sheet_sax) on a generated sheet
# of 1,000,000 cells (numbers, shared strings, inline strings), against Debian's openpyxl in
# read-only mode, xlsx2csv, and a bare inflate + QXmlStreamReader pass over the same sheet part.
#   tools/bench/xlsx_bench.sh [work folder]      (default ./build-bench)
# Targets: >= 10x faster than openpyxl read-only, >= 3x faster than xlsx2csv, <= 1.5x the bare pass.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=${1:-$PWD/build-bench}
mkdir -p "$work"
py=/usr/bin/python3

# The workbook: 100,000 rows of ten cells: four numbers, three shared strings, three inline.
"$py" - "$work/bench.xlsx" <<'PY'
import sys, zipfile
path = sys.argv[1]
strings = ["Athlete %d" % i for i in range(5000)]
rows = []
for r in range(1, 100001):
    cells = []
    cells.append('<c r="A%d"><v>%d</v></c>' % (r, r))
    cells.append('<c r="B%d"><v>%.3f</v></c>' % (r, r * 0.125))
    cells.append('<c r="C%d"><v>%d</v></c>' % (r, r % 97))
    cells.append('<c r="D%d"><v>%.2f</v></c>' % (r, 500 + r % 300 / 7))
    for k, col in enumerate("EFG"):
        cells.append('<c r="%s%d" t="s"><v>%d</v></c>' % (col, r, (r * 7 + k) % len(strings)))
    for col in "HIJ":
        cells.append('<c r="%s%d" t="inlineStr"><is><t>Club %s %d</t></is></c>' % (col, r, col, r % 500))
    rows.append('<row r="%d">%s</row>' % (r, "".join(cells)))
ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
sheet = ('<?xml version="1.0" encoding="UTF-8"?>\n<worksheet %s><dimension ref="A1:J100000"/><sheetData>%s</sheetData></worksheet>'
         % (ns, "".join(rows)))
sst = '<?xml version="1.0" encoding="UTF-8"?>\n<sst %s count="%d" uniqueCount="%d">%s</sst>' % (
    ns, len(strings), len(strings), "".join("<si><t>%s</t></si>" % s for s in strings))
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("[Content_Types].xml", '<?xml version="1.0" encoding="UTF-8"?>\n<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
    z.writestr("_rels/.rels", '<?xml version="1.0" encoding="UTF-8"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % rel)
    z.writestr("xl/workbook.xml", '<?xml version="1.0" encoding="UTF-8"?>\n<workbook %s xmlns:r="%s"><sheets><sheet name="Bench" sheetId="1" r:id="rId1"/></sheets></workbook>' % (ns, rel))
    z.writestr("xl/_rels/workbook.xml.rels", '<?xml version="1.0" encoding="UTF-8"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="%s/sharedStrings" Target="sharedStrings.xml"/></Relationships>' % (rel, rel))
    z.writestr("xl/worksheets/sheet1.xml", sheet)
    z.writestr("xl/sharedStrings.xml", sst)
print("sheet part: %.1f MiB" % (len(sheet) / 1048576))
PY

# The driver, built against the workbook sources with optimisation.
moc=/usr/lib/qt6/libexec/moc
"$moc" src/xlsx/Document.h -o "$work/moc_Document.cpp"
g++ -std=c++17 -O2 -DNDEBUG -fPIC -Isrc/xlsx -Isrc/data $(pkg-config --cflags Qt6Core quazip1-qt6) \
    tools/bench/xlsx_bench.cpp src/xlsx/*.cpp src/data/SheetStreamReader.cpp src/data/SheetXmlScanner.cpp "$work/moc_Document.cpp" \
    $(pkg-config --libs Qt6Core quazip1-qt6) -o "$work/xlsx_bench"

run() { "$work/xlsx_bench" "$1" "$work/bench.xlsx" 5; }
read -r sax_ms sax_cells sax_mib < <(run sax)
read -r bare_ms bare_cells bare_mib < <(run bare)
read -r load_ms _ load_mib < <(run load)

# openpyxl read-only: every value of every row. Peak memory as the process's maximum RSS.
read -r opx_ms opx_cells opx_mib < <("$py" - "$work/bench.xlsx" <<'PY'
import sys, time, resource, openpyxl
t = time.perf_counter()
wb = openpyxl.load_workbook(sys.argv[1], read_only=True)
n = 0
for row in wb.active.iter_rows(values_only=True):
    n += sum(v is not None for v in row)
ms = (time.perf_counter() - t) * 1000
print("%d %d %.1f" % (ms, n, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024))
PY
)
# xlsx2csv of the same sheet; peak memory from GNU time when it is there.
start=$(date +%s%N)
if [ -x /usr/bin/time ]; then
  x2c_mib=$(/usr/bin/time -f '%M' xlsx2csv "$work/bench.xlsx" "$work/bench.csv" 2>&1 >/dev/null | tail -1)
  x2c_mib=$(awk -v k="$x2c_mib" 'BEGIN { printf "%.1f", k / 1024 }')
else
  xlsx2csv "$work/bench.xlsx" "$work/bench.csv"
  x2c_mib="?"
fi
x2c_ms=$(( ($(date +%s%N) - start) / 1000000 ))

awk -v s="$sax_ms" -v sc="$sax_cells" -v sm="$sax_mib" -v b="$bare_ms" -v bc="$bare_cells" \
    -v bm="$bare_mib" -v l="$load_ms" -v lm="$load_mib" -v o="$opx_ms" -v oc="$opx_cells" \
    -v om="$opx_mib" -v x="$x2c_ms" -v xm="$x2c_mib" 'BEGIN {
  printf "%-34s %9s %10s %12s\n", "reader", "ms", "cells", "peak MiB"
  printf "%-34s %9d %10d %12s\n", "read_sheet_sax", s, sc, sm
  printf "%-34s %9d %10d %12s\n", "bare inflate + QXmlStreamReader", b, bc, bm
  printf "%-34s %9d %10s %12s\n", "Document load (cell table)", l, "", lm
  printf "%-34s %9d %10d %12s\n", "openpyxl read-only", o, oc, om
  printf "%-34s %9d %10s %12s\n", "xlsx2csv", x, "", xm
  printf "\nopenpyxl / sax: %.1fx (target >= 10)\n", o / s
  printf "xlsx2csv / sax: %.1fx (target >= 3)\n", x / s
  printf "sax / bare:     %.2fx (target <= 1.5)\n", s / b
  fail = (o / s < 10) || (x / s < 3) || (s / b > 1.5)
  exit fail
}'
