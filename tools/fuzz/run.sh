#!/usr/bin/env bash
# Builds the libFuzzer targets of the workbook layer with Debian's clang and runs them.
#   tools/fuzz/run.sh [seconds per target]        (default 600)
# BUILD_DIR (default ./build-fuzz) holds the binaries, the corpora and any crash files.
# The workbook sources are built with ASan and UBSan; Qt and QuaZip are the system libraries.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
seconds=${1:-600}
build=${BUILD_DIR:-$root/build-fuzz}
mkdir -p "$build"

moc=$(pkg-config --variable=libexecdir Qt6Core 2>/dev/null || true)/moc
[ -x "$moc" ] || moc=/usr/lib/qt6/libexec/moc
"$moc" src/xlsx/Document.h -o "$build/moc_Document.cpp"
sources=(src/xlsx/*.cpp src/data/SheetStreamReader.cpp src/data/SheetXmlScanner.cpp "$build/moc_Document.cpp")
flags=(-std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -Isrc/xlsx -Isrc/data $(pkg-config --cflags Qt6Core quazip1-qt6))
libs=($(pkg-config --libs Qt6Core quazip1-qt6))
for target in fuzz_sheet_xml fuzz_package; do
  clang++ "${flags[@]}" "tools/fuzz/$target.cpp" "${sources[@]}" "${libs[@]}" -o "$build/$target"
done

# Seeds: a few sheets and packages written on the spot.
mkdir -p "$build/corpus_sheet_xml" "$build/corpus_package"
seed() { printf '%b' "$2" > "$build/corpus_sheet_xml/$1"; }
seed plain '\x0d<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref="A1:C3"/><sheetData><row r="1"><c r="A1" t="s"><v>1</v></c><c r="B1"><v>3.5</v></c></row><row r="3" s="2" customFormat="1"/></sheetData></worksheet>'
seed kinds '\x0f<worksheet><cols><col min="1" max="3" style="4"/></cols><sheetData><row r="2"><c r="A2" t="inlineStr"><is><r><t>a</t></r><r><t>b</t></r></is></c><c r="B2" t="b"><v>1</v></c><c r="C2"><f>1+1</f><v>2</v></c><c r="D2" t="e"><v>#N/A</v></c><c t="str"><f>A1</f></c></row></sheetData><mergeCells/></worksheet>'
seed shared '\x20<worksheet><sheetData><row r="1"><c r="A1"><f t="shared" ref="A1:B3" si="0">B1+$C$1+SUM(A$1:A1)</f><v>1</v></c><c r="B1"><f t="shared" si="0"/></c></row><row r="3"><c r="A3"><f t="shared" si="0"/><v>2</v></c></row></sheetData></worksheet>'
seed prefixed '\x1c<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:sheetData/></x:worksheet>'
/usr/bin/python3 - "$build/corpus_package" <<'PY'
import sys, zipfile, openpyxl
out = sys.argv[1]
wb = openpyxl.Workbook()
ws = wb.active
ws["C1"] = "Club"; ws["A11"] = 3; ws["B11"] = "Anna"; ws["H11"] = 1.5; ws["C7"] = True
wb.save(out + "/openpyxl.xlsx")
with zipfile.ZipFile(out + "/openpyxl.xlsx") as src, zipfile.ZipFile(out + "/stored.xlsx", "w", zipfile.ZIP_STORED) as dst:
    for item in src.infolist():
        data = src.read(item.filename)
        if item.filename == "xl/sharedStrings.xml":
            data = data.replace(b"<t>Club</t>", b"<r><t>Cl</t></r><r><t>ub</t></r><rPh><t>k</t></rPh>")
        dst.writestr(item.filename, data)
PY

for target in fuzz_sheet_xml fuzz_package; do
  corpus=$build/corpus_${target#fuzz_}
  (cd "$build" && ./$target -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
      -timeout=10 -print_final_stats=1 "$corpus" > "$build/$target.log" 2>&1) &
done
wait
tail -n 12 "$build"/fuzz_*.log
found=$(find "$build" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
        -o -name 'oom-*' \) -newer "$build/fuzz_package")
if [ -n "$found" ]; then
  echo "findings:"; echo "$found"; exit 1
fi
echo "no findings"
