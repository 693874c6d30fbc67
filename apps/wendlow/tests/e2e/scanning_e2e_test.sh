#!/bin/bash
# Scanning end to end: Wendlow in a real window, the SANE test scanner and the real OCR
# engine, driven only from outside. Scans two pages, rotates one, crops and recognizes the
# other, puts it first, saves the document through the save dialog and reads the PDF back.
#   scanning_e2e_test.sh WENDLOW_PROGRAM   (inside the bed, on its own session bus)
#
# The first page comes from the "test" backend (a colour pattern, no words). The second comes
# from SANE's "pnm" backend, which scans the image /tmp/input.ppm: a page with printed words,
# so that the recognized text can be read back from the saved PDF. An image already at that
# path is put back afterwards.
set -u
source "$(dirname "$0")/e2e_support.sh"
program="$1"

mkdir -p "$work/sane"
cp "$SANE_CONFIG_DIR/test.conf" "$work/sane/"
printf 'test\npnm\n' >"$work/sane/dll.conf"
export SANE_CONFIG_DIR="$work/sane"
scan_image=/tmp/input.ppm
# One run at a time uses that path (a second build tree's run waits here).
exec 9>/tmp/wendlow-e2e-input-ppm.lock
flock -w 200 9 || fail "another end-to-end run kept $scan_image for 200 s"
if [ -e "$scan_image" ]; then
  mv "$scan_image" "$work/input.ppm.kept"
  cleanup_steps+=("mv '$work/input.ppm.kept' '$scan_image'")
else
  cleanup_steps+=("rm -f '$scan_image'")
fi
pdftoppm -r 150 -gray -singlefile "$TB_DIR/files/test.pdf" "$work/words" || fail "pdftoppm"
mv "$work/words.pgm" "$scan_image"

e2e_begin "$program"
wait_listing "the test scanner is listed" '"kind":"wendlow.scanner"'

# --- Page 1: the test scanner's colour pattern -----------------------------------------
expect "the test scanner is chosen" "$(operation 2 scan-device test:0)" "('handled', '')"
wait_listing "the scan screen shows" "vesk.control:wendlow.scan.start"
choose "the lowest resolution" wendlow.scan.resolution "150 dpi"
notices_from_now
press wendlow.scan.start
wait_listing "the first page is scanned" "vesk.control:wendlow.scan.save-document" 60
press wendlow.scan.rotate
wait_state "the rotated page asks for new text" wendlow.page.1 \
  "Text recognition needs updating after rotation."

# --- Page 2: printed words ----------------------------------------------------------------
press wendlow.scan.again
expect "the word scanner is chosen" "$(operation 2 scan-device pnm:0)" "('handled', '')"
press wendlow.scan.start
wait_listing "the second page is scanned" '"title":"Move before previous page"' 60
wait_state "its words are recognized" wendlow.page.2 "Recognized 3 words." 120
expect "the crop is set" "$(call RunResourceOperation 1 vesk.ui.crop.select \
  '{"id": "wendlow.scan.crop", "left": 0.05, "top": 0.05, "right": 0.6, "bottom": 0.25}')" \
  "('handled', '')"
press wendlow.scan.apply-crop
wait_state "the cropped page asks for new text" wendlow.page.2 \
  "Text recognition needs updating after cropping."
press wendlow.scan.recognize
wait_state "the cropped page's words are recognized again" wendlow.page.2 "Recognized 3 words." 120
press wendlow.scan.move-earlier
wait_listing "the page with words is now the first" '"title":"Move after next page"'

# --- Save and read back ------------------------------------------------------------------
notices_from_now
press wendlow.scan.save-document
answer_dialog "Save scanned document" "$work/Scanned letter.pdf"
wait_notice "the document is saved" "'Scanned document saved', 'Saved Scanned letter.pdf.', true" 60
pdf="$work/Scanned letter.pdf"
expect "the PDF has two pages" "$(pdfinfo "$pdf")" "Pages:           2"
# Each page is one image; its pixel size shows the crop and the rotation.
images=$(pdfimages -list "$pdf" | awk 'NR > 2 && $3 == "image" { print $1, $4, $5 }')
landscape() { awk -v page="$1" '$1 == page { exit !($2 > $3) }' <<<"$images"; }
landscape 1 || fail "the cropped first page is not wider than high: $images"
landscape 2 || fail "the rotated pattern page is not wider than high: $images"
echo "ok: the cropped page and the rotated page are both wider than high"
expect "the first page's text is searchable" "$(pdftotext -f 1 -l 1 "$pdf" -)" "Test bed page"
echo "all scanning end-to-end checks passed"
