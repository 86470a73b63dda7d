#!/usr/bin/env bash
# The running program prints its task list with Ctrl+P on the default printer (a
# cups-pdf queue): no dialog, the job named "Nudgery", and the PDF's lines are
# the list's lines, blank for blank.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home print
pdf=""
# A failing run keeps the printed PDF beside the screenshot.
on_failure() { [ -n "$pdf" ] && [ -n "${NUDGERY_ARTIFACTS:-}" ] && cp "$pdf" "$NUDGERY_ARTIFACTS/print.pdf"; }
on_end() { [ -z "$pdf" ] || rm -f "$pdf"; }

[ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ] || fail "no print scheduler running"
[ "$(lpstat -d 2>/dev/null)" = "system default destination: NudgeryPDF" ] ||
  fail "the default printer is not NudgeryPDF: $(lpstat -d 2>&1)"

# --- the program folder: two tasks, sorted by task ------------------------------------
printf '[Preferences]\r\nSorted=Task\r\nSortedOrdr=0\r\nAlert_s=0\r\n[Category]\r\nCats=2\r\n1=Home\r\n2=Work\r\n' \
  >"$home/Tasklyn.INI"
{
  record "" "Write the yearly report for the board meeting in January" "12/01/2027" "10:00" "1" "0" \
    "2027-01-12 10:00" "Work" "18" ""
  record $'\xd7' "Water the plants" "07/01/2027" "08:30" "2" "0" "2027-01-07 08:30" "Home" "18" ""
} >"$home/Tasklyn.DAT"

# --- the page as text: every word at its own column ------------------------------------
# pdftotext's word boxes give exact columns for a fixed-pitch face: the left edge is
# where the rules start, the pitch the average width of a character.
pdf_lines() {
  # Bytes throughout: a character is counted by its UTF-8 lead byte.
  local LC_ALL=C
  pdftotext -bbox -enc UTF-8 "$1" - | awk '
    function attr(name,   s) { s = $0; sub(".*" name "=\"", "", s); sub("\".*", "", s); return s + 0 }
    /<page / { page++ }
    /<word / {
      t = $0; sub(/.*">/, "", t); sub(/<\/word>.*/, "", t)
      gsub(/&lt;/, "<", t); gsub(/&gt;/, ">", t); gsub(/&quot;/, "\"", t); gsub(/&apos;/, "\047", t); gsub(/&amp;/, "\\&", t)
      n++; P[n] = page; X[n] = attr("xMin"); Y[n] = attr("yMin"); T[n] = t
      if (!(page in left) || X[n] < left[page]) left[page] = X[n]
      if (t ~ /^[ -~]+$/) { width += attr("xMax") - X[n]; chars += length(t) }
    }
    END {
      pitch = width / chars
      for (i = 1; i <= n; i++)
        printf "%d\t%.2f\t%d\t%s\n", P[i], Y[i], int((X[i] - left[P[i]]) / pitch + 0.5), T[i]
    }' | sort -t$'\t' -k1,1n -k2,2n -k3,3n | awk -F'\t' '
    { key = $1 "/" $2
      if (key != last) { if (NR > 1) print line; line = ""; cols = 0; last = key }
      while (cols < $3) { line = line " "; cols++ }
      t = $4; line = line t; cols += length(t) - gsub(/[\200-\277]/, "", t) }
    END { if (NR > 0) print line }'
}

# --- print with Ctrl+P -------------------------------------------------------------------
pdf_before
"$BIN" &
app=$!
pids+=("$app")
main=$(window_of "$app" '^Nudgery' 30)
[ -n "$main" ] || fail "no main window"
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool key --clearmodifiers --window "$main" ctrl+p
if ! pdf=$(wait_pdf 20); then
  echo "Ctrl+P printed nothing; printing from the File menu instead" >&2
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers p
  pdf=$(wait_pdf 30) || fail "no PDF appeared in $PDF_DIR"
fi
# No dialog or message opened: the main window is still the program's only window.
windows=$(xdotool search --all --onlyvisible --pid "$app" --name '.' 2>/dev/null | wc -l)
[ "$windows" -eq 1 ] || fail "the program opened $((windows - 1)) other window(s) while printing"
artefact print_done

# --- the PDF's lines ------------------------------------------------------------------------
rule=$(printf '%0.s-' $(seq 105))
expected=$(cat <<LINES
       Stat    Task                                             Date            Prior.
$rule
           Task                                              Date            Pr      | Type
       ×   Water the plants                                  07/01/2027      2       | Home
           Write the yearly report for the board meeting in J12/01/2027      1       | Work
$rule
LINES
)
actual=$(pdf_lines "$pdf")
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  fail "the printed lines differ from the list (expected < > printed)"
fi
[ "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')" = 1 ] || fail "more than one page printed"

close_window "$app" "$main"
echo "PASS"
