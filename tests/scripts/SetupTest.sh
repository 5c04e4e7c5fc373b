#!/usr/bin/env bash
# scripts/setup as a user who is not root and has no sudo: with a package
# missing it must say that root or sudo is needed, not blame the network;
# with only the test packages missing (no clang, no qemu-user, no arm64
# architecture), the main job's set-up (--main, what scripts/demo runs)
# must pass without asking for root.
set -euo pipefail
setup=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
mkdir "$tmp/bin"
# Installed, as far as the script can tell: nothing, or everything but the
# names in $tmp/missing. No foreign architecture; no sudo on the path.
cat >"$tmp/bin/dpkg-query" <<'SCRIPT'
#!/bin/sh
for last; do :; done
[ -f "$MISSING" ] || exit 1
grep -qx "$last" "$MISSING" && exit 1
printf 'install ok installed'
SCRIPT
printf '#!/bin/sh\nexit 0\n' >"$tmp/bin/dpkg"
for tool in bash env id grep; do
  ln -s "$(command -v "$tool")" "$tmp/bin/$tool"
done
cp "$setup" "$tmp/setup"
chmod 755 "$tmp/bin/dpkg-query" "$tmp/bin/dpkg" "$tmp/setup"

# setup_as_user <missing file> <args...>: status in $status, output in $tmp/out and $tmp/err.
setup_as_user() {
  local missing=$1; shift
  local run=(env PATH="$tmp/bin" MISSING="$missing" "$tmp/setup" "$@")
  if [[ $(id -u) -eq 0 ]]; then
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups "${run[@]}")
  fi
  status=0
  "${run[@]}" >"$tmp/out" 2>"$tmp/err" || status=$?
}

says_root_is_needed() {
  if ((status == 0)); then
    echo "setup $1 succeeded though it could not install anything" >&2
    exit 1
  fi
  if ! grep -q "needs root: run scripts/setup as root, or install sudo" "$tmp/err"; then
    echo "setup $1 did not say that root or sudo is needed; it said:" >&2
    cat "$tmp/err" >&2
    exit 1
  fi
  if grep -qi "network" "$tmp/err"; then
    echo "setup $1 blamed the network:" >&2
    cat "$tmp/err" >&2
    exit 1
  fi
}

setup_as_user "$tmp/nothing-is-installed"
says_root_is_needed "(nothing installed)"
echo "setup refused with: $(head -c 300 "$tmp/err")"

printf '%s\n' clang lld qemu-user g++-aarch64-linux-gnu libgtest-dev libc6:arm64 >"$tmp/missing"
setup_as_user "$tmp/missing" --main
if ((status != 0)) || [[ -s $tmp/err ]]; then
  echo "setup --main failed with only the test packages missing (status $status):" >&2
  cat "$tmp/err" >&2
  exit 1
fi
setup_as_user "$tmp/missing"
says_root_is_needed "(test packages missing)"
grep -q "qemu-user" "$tmp/err" || { echo "setup did not name the missing qemu-user:" >&2; cat "$tmp/err" >&2; exit 1; }
echo "setup --main passes without root when only the test packages are missing"
