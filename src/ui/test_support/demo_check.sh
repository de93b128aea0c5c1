#!/usr/bin/env bash
# The desktop application end to end, offscreen: the demo comparison runs in the window, which
# saves a picture of itself and prints the report to a PDF, then exits 0. The picture must be a
# PNG of the window; the PDF must hold the report's first and last lines, with page numbers.
# Usage: demo_check.sh VELMORA WORK_FOLDER
set -euo pipefail
velmora=$1
work=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$out/config"

"$velmora" --demo --demo-work "$work" --screenshot "$out/window.png" --print-pdf "$out/report.pdf"

[ "$(head -c 4 "$out/window.png" | tail -c 3)" = PNG ] || { echo "no PNG picture"; exit 1; }
pages=$(pdfinfo "$out/report.pdf" | awk '/^Pages:/ {print $2}')
[ "${pages:-0}" -ge 2 ] || { echo "the report printed on ${pages:-no} pages"; exit 1; }
# Blanks are squeezed: the PDF's text spaces its runs by position.
text=$(pdftotext -layout "$out/report.pdf" - | tr -s ' ')
for line in '< DATABASE 1: OE@CURRENT' '> DATABASE 2: OE@PRODUCTION' \
            'End of Velmora for Oracle' "Page 1 of $pages" "Page $pages of $pages"; do
  grep -qF -- "$line" <<<"$text" || { echo "the PDF lacks: $line"; exit 1; }
done

# A failure is an exit status and a message, never a picture: a client library that does not exist.
if "$velmora" --demo --demo-work "$work" --oci-library "$out/none.so" --screenshot "$out/x.png" \
     2>"$out/err"; then
  echo "a demo without its client library exited 0"; exit 1
fi
[ ! -e "$out/x.png" ] || { echo "a failed run left a picture"; exit 1; }
grep -q 'velmora:' "$out/err" || { echo "no message for the failure"; exit 1; }
echo "demo picture and PDF of $pages pages: ok"
