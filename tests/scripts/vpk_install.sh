#!/usr/bin/env bash
# Installed layout: koba and vpk in bin/, the editor's pack in share/koba/, where koba looks for
# it from bin/; the installed pack is the one built beside koba, and vpk reads it while read-only.
set -u
build=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install"; }
pack=$work/prefix/share/koba/KOBA.VPK
[ -x "$work/prefix/bin/koba" ] || fail "bin/koba missing"
[ -x "$work/prefix/bin/vpk" ] || fail "bin/vpk missing"
[ -f "$pack" ] || fail "share/koba/KOBA.VPK missing"
cmp -s "$pack" "$build/editor/KOBA.VPK" || fail "installed pack differs from the one beside koba"

chmod a-w "$pack" "$work/prefix/share/koba"
"$work/prefix/bin/vpk" list "$pack" >"$work/list" 2>"$work/err" || { cat "$work/err"; fail "vpk list of the read-only pack"; }
"$work/prefix/bin/vpk" preview "$pack" "$work/sheet.png" 2>"$work/err" || { cat "$work/err"; fail "vpk preview"; }
[ -s "$work/sheet.png" ] || fail "empty preview"
echo "ok: installed pack matches the build (checked whole by the pack test), lists and previews read-only"
