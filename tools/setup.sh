#!/bin/sh
# Installs what building and testing this project needs on Debian 12, when missing.
# Idempotent: a machine that already has everything is left alone (no apt-get at all).
set -eu

PACKAGES="cmake g++ make googletest libgtest-dev libbenchmark-dev clang-format \
clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
wine wine64 xvfb xauth valgrind fonts-dejavu-core fonts-wqy-microhei unicode-data \
python3-markdown-it"

missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing packages:$missing (run as root to install them)" >&2
        exit 1
    fi
    echo "setup: installing$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing
fi
