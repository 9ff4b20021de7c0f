#!/usr/bin/env bash
# Optional, not part of CI: checks that workbooks written by the workbook layer open in
# LibreOffice with the written values in place, and that the result workbook's rows keep the
# heights written for long names. Installs libreoffice-calc-nogui when missing.
#   tests/xlsx/check_with_libreoffice.sh [build folder]     (default ./build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
if ! command -v soffice >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends libreoffice-calc-nogui
fi
cmake --build "$build" --target tst_xlsx_document tst_print_save >/dev/null
out=$(mktemp -d)
test_dir="$build/tests/tst_xlsx_document"
(cd "$test_dir" && QT_QPA_PLATFORM=offscreen RIVANTA_XLSX_KEEP="$out" \
  ./tst_xlsx_document.app/Contents/MacOS/tst_xlsx_document writesIntoACopy roundTripThroughOpenpyxl \
  newDocumentSavesAWorkbook escapesTextAndNeverWritesAFormula \
  keepsASharedFormulaWhoseAnchorIsWritten >/dev/null)
test_dir="$build/tests/tst_print_save"
(cd "$test_dir" && QT_QPA_PLATFORM=offscreen RIVANTA_XLSX_KEEP="$out" \
  ./tst_print_save.app/Contents/MacOS/tst_print_save workbookCellsAreText >/dev/null)

status=0
check() { # file, expected text in the CSV of its first sheet
  if grep -qF -- "$2" "$out/${1%.xlsx}.csv"; then echo "ok   $1: $2"; else echo "FAIL $1: $2"; status=1; fi
}
for f in copy.xlsx py-out.xlsx new.xlsx escape.xlsx shared-out.xlsx results.xlsx; do
  HOME="$out" soffice --headless --norestore \
    --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir "$out" "$out/$f" >/dev/null 2>&1
  [ -s "$out/${f%.xlsx}.csv" ] || { echo "FAIL $f: LibreOffice did not open it"; status=1; continue; }
done
check copy.xlsx "Organiser"
check copy.xlsx "no formula"
check copy.xlsx "column style"
check copy.xlsx "2.5"
check py-out.xlsx "Kayak Club <Split> & Co"
check py-out.xlsx "+385 21 555"
check py-out.xlsx "=Rank"
check py-out.xlsx "03:12"
check new.xlsx "hello"
check new.xlsx "TRUE"
check escape.xlsx "=SUM(A1:A2)"
check escape.xlsx "<b>&amp;"
check escape.xlsx "Čakovec – Šibenik"
# The cells below the written ones keep their shared formula and its result (A15 = 15*2+65+3).
check shared-out.xlsx "rank 4,14"
check shared-out.xlsx "98,15"
check shared-out.xlsx "198,20"
check results.xlsx "Koninklijke Roei- en Zeilvereniging De Maas"
# LibreOffice keeps the heights the export gives the rows (it opens a row without one at a
# single line): in its own copy the event line (row 7) and the long club's row (14) are as tall
# as written and taller than a one-line result row (12).
mkdir "$out/lo"
HOME="$out" soffice --headless --norestore --convert-to xlsx --outdir "$out/lo" \
  "$out/results.xlsx" >/dev/null 2>&1
/usr/bin/python3 - "$out/results.xlsx" "$out/lo/results.xlsx" <<'EOF' || status=1
import sys
import openpyxl
ours = openpyxl.load_workbook(sys.argv[1]).active.row_dimensions
rows = openpyxl.load_workbook(sys.argv[2]).active.row_dimensions
one_line = rows[12].ht or 0
failed = False
for r, what in ((7, "event line"), (14, "long club name")):
    fits = (rows[r].ht or 0) >= (ours[r].ht or 1e9) - 0.5 and (rows[r].ht or 0) > one_line > 0
    failed |= not fits
    print("ok  " if fits else "FAIL", f"results.xlsx row {r}, {what}: {rows[r].ht} pt (written {ours[r].ht}), one line {one_line} pt")
sys.exit(failed)
EOF
rm -rf "$out"
exit $status
