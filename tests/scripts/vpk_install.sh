# Installed layout: koba and vpk in bin/, the editor's pack in share/koba/, where koba looks for it from
# bin/; the installed pack is the one built beside koba, and vpk reads it while read-only.
set -u
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { cat "$work/log" 2>/dev/null; echo "FAIL: $*"; exit 1; }
cmake --install "$1" --prefix "$work/prefix" >"$work/log" 2>&1 && rm "$work/log" || fail "install"
pack=$work/prefix/share/koba/KOBA.VPK
[ -x "$work/prefix/bin/koba" ] && [ -x "$work/prefix/bin/vpk" ] || fail "bin/koba or bin/vpk missing"
cmp -s "$pack" "$1/editor/KOBA.VPK" || fail "share/koba/KOBA.VPK missing or not the pack built beside koba"
chmod a-w "$pack" "$work/prefix/share/koba"
"$work/prefix/bin/vpk" list "$pack" >/dev/null 2>"$work/log" || fail "vpk list of the read-only pack"
"$work/prefix/bin/vpk" preview "$pack" "$work/sheet.png" 2>"$work/log" || fail "vpk preview"
[ -s "$work/sheet.png" ] || fail "empty preview"
