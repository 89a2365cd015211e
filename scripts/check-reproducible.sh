#!/usr/bin/env bash
# Builds the release packages twice from the committed tree, in two folders
# of different names and depths, and compares the results byte for byte:
# both programs, both setup programs and the zip.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for tree in "$work/a" "$work/other/place/b"; do
  mkdir -p "$(dirname "$tree")"
  git -C "$ROOT" worktree add --detach -q "$tree" HEAD
  (cd "$tree" && scripts/package.sh >/dev/null)
done
status=0
for f in i686/bin/Vellomar.exe x86_64/bin/Vellomar.exe packages/SHA256SUMS \
         packages/Vellomar-*-setup.exe packages/Vellomar-*-setup-x64.exe packages/Vellomar-*-portable.zip; do
  for a in "$work"/a/build/$f; do
    b="$work/other/place/b/build/${a#"$work"/a/build/}"
    if cmp -s "$a" "$b"; then echo "same:      ${a#"$work"/a/build/}"; else echo "DIFFERENT: ${a#"$work"/a/build/}"; status=1; fi
  done
done
git -C "$ROOT" worktree remove --force "$work/a"
git -C "$ROOT" worktree remove --force "$work/other/place/b"
exit $status
