#!/bin/bash
# Printing end to end: Wendlow in a real window against the test bed's print service, driven
# only from outside. Prints a PDF with two copies on both sides and finds those attributes on
# the scheduler's job; pauses and resumes a printer; hands a file to the running window from
# a second start; cancels a waiting document after confirming; adds the discovered network
# printer and prints to it.
#   printing_e2e_test.sh WENDLOW_PROGRAM   (inside the bed, on its own session bus)
set -u
source "$(dirname "$0")/e2e_support.sh"
program="$1"
hex() { printf %s "$1" | od -An -tx1 | tr -d ' \n'; }
test_printer="wendlow.printer.$(hex Test_printer)"

# Nothing of an earlier run is left waiting, and the printer accepts.
cancel -a Test_printer 2>/dev/null
cupsenable Test_printer && cupsaccept Test_printer
cp "$TB_DIR/files/test.pdf" "$work/Quarterly report.pdf"
cp "$TB_DIR/files/test.pdf" "$work/Packing list.pdf"
cp "$TB_DIR/files/test.pdf" "$work/Remote letter.pdf"

e2e_begin "$program"
wait_state "the test printer is ready" "$test_printer" "Ready"

# --- A PDF, two copies, both sides -----------------------------------------------------
notices_from_now
press wendlow.print
answer_dialog "Choose a document to print" "$work/Quarterly report.pdf"
wait_listing "the print screen shows the chosen document" "vesk.control:wendlow.print.copies"
choose "the test printer is chosen" wendlow.print.printer "Test printer"
expect "two copies" "$(call SelectSegment wendlow.print.copies 2)" "('handled', '')"
press wendlow.print.two-sided
press wendlow.print.submit
wait_notice "the document is sent" "'Document sent to printer', 'Quarterly report.pdf was sent to Test printer.', true"
record=$(jobs Test_printer | grep ',Quarterly report.pdf,' | tail -1)
expect "the scheduler's job has two copies, two-sided" "$record" ",2,two-sided-long-edge,"
quarterly_id=${record%%,*}
for _ in $(seq 600); do
  jobs Test_printer | grep -q "^$quarterly_id,.*,completed" && break
  sleep 0.1
done
expect "the refresh is handled" "$(operation 1 refresh)" "('handled', '')"
wait_state "the window shows the document as printed" "wendlow.job.$(hex "Test_printer-$quarterly_id")" \
  "Printed" 60

# --- Pause and resume ------------------------------------------------------------------
notices_from_now
expect "pause is handled" "$(operation 1 pause Test_printer)" "('handled', '')"
wait_notice "the pause is announced" "'Printer paused'"
wait_state "the printer shows as paused" "$test_printer" "Paused"
expect "the scheduler has stopped the queue" "$(lpstat -p Test_printer)" "disabled"

# --- A second start hands a file over; the document waits on the paused printer --------
(cd "$work" && timeout 20 "$program" "Packing list.pdf") || fail "the second start did not end"
wait_listing "the first window shows the print screen for the file" "vesk.control:wendlow.print.submit"
kill -0 "$program_pid" 2>/dev/null || fail "the first window ended"
choose "the paused test printer is chosen" wendlow.print.printer "Test printer"
notices_from_now
press wendlow.print.submit
wait_notice "the handed-over file is sent" "Packing list.pdf was sent to Test printer."
packing_id=$(jobs Test_printer | grep ',Packing list.pdf,' | tail -1 | cut -d, -f1)
[ -n "$packing_id" ] || fail "the scheduler has no job for Packing list.pdf"

# --- Cancel, after confirming ----------------------------------------------------------
press wendlow.queue
wait_listing "the queue lists the waiting document" "\"title\":\"Packing list.pdf\""
wait_listing "its row offers to cancel" "vesk.control:wendlow.job.cancel"
press wendlow.job.cancel
wait_listing "the first press asks for confirmation" "\"title\":\"Confirm cancel\""
expect "nothing is canceled yet" "$(jobs Test_printer | grep "^$packing_id,")" ",pending"
notices_from_now
press wendlow.job.cancel
wait_notice "the cancel is announced" "'Document canceled', 'It was removed from the printer.', true"
expect "the scheduler canceled the job" "$(jobs Test_printer | grep "^$packing_id,")" ",canceled"

notices_from_now
expect "resume is handled" "$(operation 1 resume Test_printer)" "('handled', '')"
wait_state "the printer is ready again" "$test_printer" "Ready"
expect "the scheduler runs the queue again" "$(lpstat -p Test_printer)" "enabled"

# --- Add the discovered network printer and print to it --------------------------------
if [ "${TB_REMOTE:-0}" = 1 ]; then
  expect "the search starts" "$(operation 1 discover)" "('handled', '')"
  wait_listing "the network printer is found" "vesk.control:wendlow.discover.add." 20
  add=$(call ListResources | python3 "$here/listing.py" ids vesk.control:wendlow.discover.add. |
    grep -i remote | head -1)
  [ -n "$add" ] || fail "the remote printer is not among the found ones"
  notices_from_now
  press "${add#vesk.control:}"
  wait_notice "the printer is added" "'Printer added'" 40
  queue=$(lpstat -v | grep -i remote | sed -n 's/^device for \([^:]*\):.*/\1/p' | head -1)
  [ -n "$queue" ] || fail "the scheduler has no queue for the remote printer"
  cleanup_steps+=("lpadmin -x '$queue'")

  notices_from_now
  press wendlow.print
  answer_dialog "Choose a document to print" "$work/Remote letter.pdf"
  wait_listing "the print screen opens" "vesk.control:wendlow.print.copies"
  choose "the new printer is chosen" wendlow.print.printer "Remote"
  press wendlow.print.submit
  wait_notice "the document is sent to the new printer" "Remote letter.pdf was sent to"
  expect "the new queue has the job" "$(jobs "$queue")" ",Remote letter.pdf,1,one-sided,"
else
  echo "skip: no remote printer host in this bed (TB_REMOTE=0)"
fi
echo "all printing end-to-end checks passed"
