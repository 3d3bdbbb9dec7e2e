#!/usr/bin/env bash
# The include check passes a tree in library order and fails one where a
# library includes a header from above it, a platform header outside platform/,
# or a library of the platform layer one of the layer's libraries above it.
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$tree/model" "$tree/page" "$tree/behaviour"
echo '#include "platform/base/cstring.h"' > "$tree/model/a.h"
echo '#include "model/a.h"' > "$tree/page/b.h"
echo '#include "page/b.h"' > "$tree/behaviour/c.h"
"$check" "$tree" > /dev/null || fail "a tree in order was refused"

echo '  #include "behaviour/c.h"' >> "$tree/page/b.h"
out=$("$check" "$tree") && fail "page/ including behaviour/ passed"
grep -q 'page/ may not include behaviour/' <<< "$out" || fail "unexpected message: $out"

sed -i '$d' "$tree/page/b.h"
echo '#include <QWidget>' >> "$tree/model/a.h"
"$check" "$tree" > /dev/null && fail "a Qt header in model/ passed"
sed -i '$d' "$tree/model/a.h"

mkdir -p "$tree/platform/msg" "$tree/platform/user"
echo '#include "platform/base/cstring.h"' > "$tree/platform/msg/clock.h"
echo '#include "platform/msg/clock.h"' > "$tree/platform/user/wnd.h"
"$check" "$tree" > /dev/null || fail "a platform layer in order was refused"
echo '#include "platform/user/wnd.h"' >> "$tree/platform/msg/clock.h"
out=$("$check" "$tree") && fail "platform/msg/ including platform/user/ passed"
grep -q 'platform/msg/ may not include platform/user/' <<< "$out" || fail "unexpected message: $out"
echo "check-includes: 4 passed, 0 failed"
