#!/usr/bin/env bash
# Benchmark of what a caller of the workbook layer does to read a large sheet: open the document
# (QXlsx::Document) and stream its sheet (read_sheet_sax), timed as one figure, with the peak
# resident size of the whole process. Compared on the same workbook with Debian's openpyxl in
# read-only mode, xlsx2csv, and a bare inflate + QXmlStreamReader pass over the sheet part.
# Two workbooks of 1,000,000 cells (100,000 rows of ten): four numbers and six texts per row,
# the texts once as inline strings and once as shared strings.
#   tools/bench/xlsx_bench.sh [work folder] [runs]     (default ./build-bench, 3)
# Every run is a fresh process; the best time and the highest peak of the runs are shown.
# Targets: >= 10x faster than openpyxl read-only, >= 5x faster than xlsx2csv, no slower than
# the bare pass; peak resident size under twice the sheet XML.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=${1:-$PWD/build-bench}
runs=${2:-3}
mkdir -p "$work"
py=/usr/bin/python3

"$py" - "$work" <<'PY'
import sys, zipfile
work = sys.argv[1]
ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
strings = ["Athlete %d Kayak Club %d" % (i, i % 37) for i in range(20000)]
for variant in ("inline", "shared"):
    rows = []
    for r in range(1, 100001):
        cells = ['<c r="A%d"><v>%d</v></c>' % (r, r),
                 '<c r="B%d"><v>%.3f</v></c>' % (r, r * 0.125),
                 '<c r="C%d"><v>%d</v></c>' % (r, r % 97),
                 '<c r="D%d" s="1"><v>%.2f</v></c>' % (r, 500 + r % 300 / 7)]
        for k, col in enumerate("EFGHIJ"):
            index = (r * 7 + k * 131) % len(strings)
            if variant == "shared":
                cells.append('<c r="%s%d" t="s"><v>%d</v></c>' % (col, r, index))
            else:
                cells.append('<c r="%s%d" t="inlineStr"><is><t>%s</t></is></c>' % (col, r, strings[index]))
        rows.append('<row r="%d">%s</row>' % (r, "".join(cells)))
    sheet = ('<?xml version="1.0" encoding="UTF-8"?>\n<worksheet %s><dimension ref="A1:J100000"/>'
             '<sheetData>%s</sheetData></worksheet>' % (ns, "".join(rows)))
    sst = '<?xml version="1.0" encoding="UTF-8"?>\n<sst %s count="%d" uniqueCount="%d">%s</sst>' % (
        ns, len(strings), len(strings), "".join("<si><t>%s</t></si>" % s for s in strings))
    styles = ('<?xml version="1.0" encoding="UTF-8"?>\n<styleSheet %s><cellXfs count="2"><xf numFmtId="0"/>'
              '<xf numFmtId="2"/></cellXfs></styleSheet>' % ns)
    with zipfile.ZipFile("%s/%s.xlsx" % (work, variant), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", '<?xml version="1.0" encoding="UTF-8"?>\n<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/></Types>')
        z.writestr("_rels/.rels", '<?xml version="1.0" encoding="UTF-8"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % rel)
        z.writestr("xl/workbook.xml", '<?xml version="1.0" encoding="UTF-8"?>\n<workbook %s xmlns:r="%s"><sheets><sheet name="Bench" sheetId="1" r:id="rId1"/></sheets></workbook>' % (ns, rel))
        z.writestr("xl/_rels/workbook.xml.rels", '<?xml version="1.0" encoding="UTF-8"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="%s/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId3" Type="%s/styles" Target="styles.xml"/></Relationships>' % (rel, rel, rel))
        z.writestr("xl/worksheets/sheet1.xml", sheet)
        z.writestr("xl/sharedStrings.xml", sst)
        z.writestr("xl/styles.xml", styles)
    with open("%s/%s.sheet-bytes" % (work, variant), "w") as f:
        f.write(str(len(sheet.encode())))
PY

# The driver, built against the workbook sources with optimisation.
moc=/usr/lib/qt6/libexec/moc
"$moc" src/xlsx/Document.h -o "$work/moc_Document.cpp"
g++ -std=c++17 -O2 -DNDEBUG -fPIC -Isrc/xlsx -Isrc/data $(pkg-config --cflags Qt6Core quazip1-qt6 zlib) \
    tools/bench/xlsx_bench.cpp src/xlsx/*.cpp src/data/SheetStreamReader.cpp src/data/SheetXmlScanner.cpp "$work/moc_Document.cpp" \
    $(pkg-config --libs Qt6Core quazip1-qt6 zlib) -o "$work/xlsx_bench"

# openpyxl read-only and xlsx2csv, each timed inside its own interpreter from opening the file to
# the last value, peak as the process's maximum resident size.
cat > "$work/openpyxl_read.py" <<'PY'
import sys, time, resource, openpyxl
t = time.perf_counter()
wb = openpyxl.load_workbook(sys.argv[1], read_only=True)
n = 0
for row in wb.active.iter_rows(values_only=True):
    n += sum(v is not None for v in row)
ms = (time.perf_counter() - t) * 1000
print("%d %d %.1f" % (ms, n, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024))
PY
cat > "$work/xlsx2csv_read.py" <<'PY'
import sys, time, resource, io
from importlib.machinery import SourceFileLoader
from importlib.util import module_from_spec, spec_from_loader
loader = SourceFileLoader("xlsx2csv_tool", "/usr/bin/xlsx2csv")
module = module_from_spec(spec_from_loader(loader.name, loader))
loader.exec_module(module)
t = time.perf_counter()
out = io.StringIO()
module.Xlsx2csv(sys.argv[1], outputencoding="utf-8").convert(out)
ms = (time.perf_counter() - t) * 1000
n = sum(1 for line in out.getvalue().splitlines() for v in line.split(",") if v)
print("%d %d %.1f" % (ms, n, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024))
PY

# Best time and highest peak of the runs of one reader: "ms cells MiB".
best() {
  local best_ms="" cells="" peak=0
  for _ in $(seq "$runs"); do
    read -r ms n mib < <("$@")
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
    cells=$n
    peak=$(awk -v a="$peak" -v b="$mib" 'BEGIN { print (b > a ? b : a) }')
  done
  echo "$best_ms $cells $peak"
}

status=0
for variant in inline shared; do
  file=$work/$variant.xlsx
  sheet_mib=$(awk -v b="$(cat "$work/$variant.sheet-bytes")" 'BEGIN { printf "%.1f", b / 1048576 }')
  read -r c_ms c_n c_mib < <(best "$work/xlsx_bench" caller "$file")
  read -r b_ms b_n b_mib < <(best "$work/xlsx_bench" bare "$file")
  read -r o_ms o_n o_mib < <(best "$py" "$work/openpyxl_read.py" "$file")
  read -r x_ms x_n x_mib < <(best "$py" "$work/xlsx2csv_read.py" "$file")
  echo
  echo "== $variant strings: $(du -k "$file" | cut -f1) KiB file, sheet XML $sheet_mib MiB, best of $runs runs"
  awk -v cm="$c_ms" -v cn="$c_n" -v cr="$c_mib" -v bm="$b_ms" -v bn="$b_n" -v br="$b_mib" \
      -v om="$o_ms" -v on="$o_n" -v or="$o_mib" -v xm="$x_ms" -v xn="$x_n" -v xr="$x_mib" \
      -v sheet="$sheet_mib" 'BEGIN {
    printf "%-40s %8s %10s %10s\n", "reader (open + whole sheet)", "ms", "values", "peak MiB"
    printf "%-40s %8d %10d %10.1f\n", "Document + read_sheet_sax", cm, cn, cr
    printf "%-40s %8d %10d %10.1f\n", "bare inflate + QXmlStreamReader", bm, bn, br
    printf "%-40s %8d %10d %10.1f\n", "openpyxl read-only", om, on, or
    printf "%-40s %8d %10d %10.1f\n", "xlsx2csv", xm, xn, xr
    printf "openpyxl / caller: %5.1fx (target >= 10)\n", om / cm
    printf "xlsx2csv / caller: %5.1fx (target >= 5)\n", xm / cm
    printf "caller / bare:     %5.2fx (target <= 1)\n", cm / bm
    printf "peak / sheet XML:  %5.2fx (target < 2)\n", cr / sheet
    exit (om / cm < 10) || (xm / cm < 5) || (cm > bm) || (cr >= 2 * sheet)
  }' || status=1
done
exit $status
