#!/usr/bin/env bash
# scripts/setup, with a package missing, as a user who is not root and has
# no sudo: it must say that root or sudo is needed, not blame the network.
set -euo pipefail
setup=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
mkdir "$tmp/bin"
# Nothing is installed, as far as the script can tell; no sudo on the path.
printf '#!/bin/sh\nexit 1\n' >"$tmp/bin/dpkg-query"
for tool in bash env id grep; do
  ln -s "$(command -v "$tool")" "$tmp/bin/$tool"
done
cp "$setup" "$tmp/setup"
chmod 755 "$tmp/bin/dpkg-query" "$tmp/setup"

run=(env PATH="$tmp/bin" "$tmp/setup")
if [[ $(id -u) -eq 0 ]]; then
  run=(setpriv --reuid=65534 --regid=65534 --clear-groups "${run[@]}")
fi
status=0
"${run[@]}" >"$tmp/out" 2>"$tmp/err" || status=$?
if ((status == 0)); then
  echo "setup succeeded though it could not install anything" >&2
  exit 1
fi
if ! grep -q "needs root: run scripts/setup as root, or install sudo" "$tmp/err"; then
  echo "setup did not say that root or sudo is needed; it said:" >&2
  cat "$tmp/err" >&2
  exit 1
fi
if grep -qi "network" "$tmp/err"; then
  echo "setup blamed the network:" >&2
  cat "$tmp/err" >&2
  exit 1
fi
echo "setup refused with: $(head -c 300 "$tmp/err")"
