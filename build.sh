#!/usr/bin/env bash
# Builds the project in build/ and runs the demo or every test:
#
#   ./build.sh demo   build/bin/kelhost demo, in the working folder
#   ./build.sh test   ctest, every test
#
# First it installs the Debian packages of tools/debian-packages.txt that
# are missing, with apt-get. That takes root: anyone else is given the one
# apt-get line to run and nothing is done. Packages marked optional there
# (Qt) may fail to install; the build then goes on without them.
set -euo pipefail

usage() {
  echo "usage: ./build.sh demo|test" >&2
  exit 2
}
[ $# -eq 1 ] || usage
case "$1" in demo | test) ;; *) usage ;; esac

here=$PWD  # the demo writes its database here
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

# The packages of the list that are not installed, required and optional.
required=()
optional=()
while read -r name flag _; do
  [ -n "$name" ] || continue
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$name" 2>/dev/null)" = installed ] && continue
  if [ "${flag:-}" = optional ]; then optional+=("$name"); else required+=("$name"); fi
done < <(sed 's/#.*//' tools/debian-packages.txt)

missing=("${required[@]}" "${optional[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "build.sh: Debian packages are missing; run this line as root (or with sudo), then ./build.sh $1 again:" >&2
    echo "apt-get install ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  # Without the package lists only the optional packages may be missing.
  apt-get update -qq || [ ${#required[@]} -eq 0 ]
  if [ ${#required[@]} -gt 0 ]; then apt-get install -y -qq "${required[@]}"; fi
  if [ ${#optional[@]} -gt 0 ] && ! apt-get install -y -qq "${optional[@]}"; then
    echo "build.sh: cannot install ${optional[*]}; building without the dialogs on screen" >&2
  fi
fi

cmake -S . -B build -G Ninja
cmake --build build
if [ "$1" = demo ]; then
  cd "$here"
  exec "$root/build/bin/kelhost" demo
fi
exec ctest --test-dir build --output-on-failure -j 8
