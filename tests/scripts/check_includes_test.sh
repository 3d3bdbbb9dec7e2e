#!/usr/bin/env bash
# The include check passes a tree in library order and fails one where a
# library includes a header from above it, or a platform header outside platform/.
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$tree/model" "$tree/page" "$tree/behaviour"
echo '#include "platform/cstring.h"' > "$tree/model/a.h"
echo '#include "model/a.h"' > "$tree/page/b.h"
echo '#include "page/b.h"' > "$tree/behaviour/c.h"
"$check" "$tree" > /dev/null || fail "a tree in order was refused"

echo '  #include "behaviour/c.h"' >> "$tree/page/b.h"
out=$("$check" "$tree") && fail "page/ including behaviour/ passed"
grep -q 'page/ may not include behaviour/' <<< "$out" || fail "unexpected message: $out"

sed -i '$d' "$tree/page/b.h"
echo '#include <QWidget>' >> "$tree/model/a.h"
"$check" "$tree" > /dev/null && fail "a Qt header in model/ passed"
echo "check-includes: 3 passed, 0 failed"
