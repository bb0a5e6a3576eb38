#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual as a browser shows it, in a window 420 px wide (a browser beside
# the program, a phone) and 1280 px wide: headless Chromium loads a copy of
# the page in a frame of that width, and a script measures it there. The page
# never scrolls sideways, no command runs out of its box, the contents are
# one column when narrow, and every picture is drawn at 70 % of its size or
# more (a wide one scrolls in its box). That each picture opens whole on a
# click, messages_manual_test checks in the page itself.
# Usage: manual_layout.sh MANUAL_DIR CHROMIUM
set -euo pipefail
manual_dir=$1
chromium=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$manual_dir/." "$scratch/"

# The measuring script runs in the copy and posts what it found to the frame's page.
measure='<script>
window.addEventListener("load", function () {
  var found = [];
  var page = document.documentElement;
  if (page.scrollWidth > page.clientWidth) {
    found.push("the page is " + page.scrollWidth + " px wide in a window of " + page.clientWidth);
  }
  // What lies in a box that scrolls by itself may be wider than the window.
  function inScrollBox(element) {
    for (var box = element.parentElement; box && box !== document.body; box = box.parentElement) {
      if (getComputedStyle(box).overflowX !== "visible") return true;
    }
    return false;
  }
  document.querySelectorAll("body *").forEach(function (element) {
    var right = element.getBoundingClientRect().right;
    if (right > page.clientWidth + 1 && !inScrollBox(element)) {
      found.push(element.tagName + " \"" + element.textContent.trim().slice(0, 30) + "\" ends at " + Math.round(right));
    }
  });
  document.querySelectorAll("pre").forEach(function (pre) {
    if (pre.scrollWidth > pre.clientWidth) found.push("a command runs out of its box: " + pre.textContent.slice(0, 40));
  });
  var columns = getComputedStyle(document.querySelector("nav ol")).columnCount;
  if (window.innerWidth < 600 && columns !== "auto" && columns !== "1") found.push("the contents have " + columns + " columns");
  document.querySelectorAll("img").forEach(function (image) {
    if (image.getBoundingClientRect().width < 0.7 * image.naturalWidth - 1) {
      found.push(image.getAttribute("src") + " is drawn " + Math.round(image.getBoundingClientRect().width) + " px wide of " + image.naturalWidth);
    }
  });
  parent.postMessage(found.slice(0, 15).join("\n") || "fine", "*");
});
</script>'
page="$scratch/laufschild/laufschild.html"
[ -f "$page" ] || page="$scratch/laufschild.html"
MEASURE=$measure awk '/<\/body>/ { print ENVIRON["MEASURE"] } { print }' "$page" >"$scratch/measured.html"
mv "$scratch/measured.html" "$page"

status=0
for width in 420 1280; do
  cat >"$scratch/frame-$width.html" <<FRAME
<!DOCTYPE html><html><head><meta charset="utf-8"><title>$width</title></head><body style="margin:0">
<iframe src="file://$page" style="width:${width}px;height:900px;border:0"></iframe>
<pre id="found">
no answer
</pre>
<script>window.addEventListener("message", function (e) { document.getElementById("found").textContent = "\\n" + e.data + "\\n"; });</script>
</body></html>
FRAME
  "$chromium" --headless --no-sandbox --disable-gpu --user-data-dir="$scratch/profile" \
    --window-size=1400,1000 --virtual-time-budget=10000 --dump-dom "file://$scratch/frame-$width.html" \
    2>"$scratch/chromium.log" >"$scratch/dom.html" || true
  found=$(awk '/<\/pre>/ { inside = 0 } inside { print } /<pre id="found">/ { inside = 1 }' "$scratch/dom.html" |
           sed 's/&quot;/"/g; s/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g')
  if [ "$found" = fine ]; then
    echo "PASS: $width px"
  else
    echo "FAIL: $width px: ${found:-no page from Chromium: $(tail -3 "$scratch/chromium.log")}"
    status=1
  fi
done
exit "$status"
