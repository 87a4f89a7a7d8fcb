#!/usr/bin/env bash
# build.sh's decisions, on a copy of it in a folder of its own with a
# package list of its own and a project of three lines: what is missing is
# installed only as root (a stand-in apt-get records its calls here, so the
# system is never changed), anyone else gets the apt-get line and nothing
# is done, optional packages may fail, required ones may not.
# usage: build_sh_test.sh BUILD_SH
set -euo pipefail

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# A fresh copy of build.sh in $tmp/p with the package list "$1", and a
# project whose one test passes and whose kelhost says where it runs.
copy() {
  rm -rf "$tmp/p" "$tmp/log"
  mkdir -p "$tmp/p/tools" "$tmp/work"
  cp "$BUILD_SH" "$tmp/p/build.sh"
  printf '%b' "$1" >"$tmp/p/tools/debian-packages.txt"
  cat >"$tmp/p/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(t NONE)
file(CONFIGURE OUTPUT bin/kelhost CONTENT "#!/bin/sh\necho \"$@ in $PWD\"\n")
file(CHMOD ${CMAKE_BINARY_DIR}/bin/kelhost PERMISSIONS OWNER_READ OWNER_EXECUTE)
enable_testing()
add_test(NAME passes COMMAND true)
CMAKE
}

# Runs the copy with "$@" in $tmp/work; its status, output and error in
# status, out and err.
run() {
  set +e
  (cd "$tmp/work" && PATH="$tmp/bin:$PATH" "$@" >"$tmp/out" 2>"$tmp/err")
  status=$?
  set -e
  out=$(cat "$tmp/out")
  err=$(cat "$tmp/err")
}

BUILD_SH=$1
mkdir -p "$tmp/bin"
# The stand-in apt-get: logs its calls; installs of names starting with
# kp-fails fail.
cat >"$tmp/bin/apt-get" <<'APT'
#!/bin/sh
echo "$DEBIAN_FRONTEND apt-get $*" >>"${0%/bin/apt-get}/log"
case "$*" in install*kp-fails*) exit 100 ;; esac
APT
chmod 755 "$tmp/bin/apt-get"

copy 'bash\n'
for args in "" "build" "demo test"; do
  # shellcheck disable=SC2086
  run "$tmp/p/build.sh" $args
  [ "$status" = 2 ] && [ "$err" = "usage: ./build.sh demo|test" ] && [ "$out" = "" ] || fail "usage for '$args': $status $err"
done
[ ! -e "$tmp/p/build" ] || fail "usage: build/ made"

# Nothing missing: no apt-get, then configure, build and the tests; the
# demo runs in the working folder.
run "$tmp/p/build.sh" test
[ "$status" = 0 ] && [ ! -e "$tmp/log" ] && [[ "$out" == *"100% tests passed"* ]] || fail "test: $status $out $err"
run "$tmp/p/build.sh" demo
[ "$status" = 0 ] && [[ "$out" == *"demo in $tmp/work" ]] || fail "demo: $status $out $err"

# Not root: the one line of what is missing, and nothing done.
copy '# a comment\nbash\nkp-missing  # why\n\nkp-missing-qt optional\n'
if [ "$(id -u)" = 0 ]; then
  chown -R nobody "$tmp"
  run setpriv --reuid=nobody --regid=nogroup --clear-groups "$tmp/p/build.sh" test
else
  run "$tmp/p/build.sh" test
fi
[ "$status" = 1 ] && [ "$out" = "" ] && [ ! -e "$tmp/p/build" ] && [ ! -e "$tmp/log" ] || fail "not root: $status $out"
[ "$err" = "build.sh: Debian packages are missing; run this line as root (or with sudo), then ./build.sh test again:
apt-get install kp-missing kp-missing-qt" ] || fail "not root: $err"

if [ "$(id -u)" = 0 ]; then
  # Root: the lists updated once, the required installed, then the optional.
  copy 'bash\nkp-missing\nkp-fails-qt optional\n'
  run "$tmp/p/build.sh" test
  [ "$status" = 0 ] && [[ "$out" == *"100% tests passed"* ]] || fail "root: $status $out $err"
  [ "$(cat "$tmp/log")" = "noninteractive apt-get update -qq
noninteractive apt-get install -y -qq kp-missing
noninteractive apt-get install -y -qq kp-fails-qt" ] || fail "root: $(cat "$tmp/log")"
  [[ "$err" == *"build.sh: cannot install kp-fails-qt; building without the dialogs on screen"* ]] || fail "root: $err"
  # A required package that cannot be installed stops the script.
  copy 'kp-fails\nkp-missing-qt optional\n'
  run "$tmp/p/build.sh" test
  [ "$status" = 100 ] && [ ! -e "$tmp/p/build" ] || fail "root, required fails: $status $err"
else
  echo "not root: the installs are not tried"
fi

[ "$failures" = 0 ] || exit 1
echo "build.sh: all cases passed"
