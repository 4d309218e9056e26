#!/bin/sh
# Installs the Debian packages the build and the tests need; does nothing
# when all of them are present already.
set -eu
# clang and its runtime libraries build the fuzz targets (libFuzzer);
# poppler-utils renders printed PDF files back to pictures for the tests.
PKGS="cmake ninja-build g++ make qt6-base-dev libx11-dev libgtest-dev libgmock-dev libbenchmark-dev binutils clang libclang-rt-14-dev poppler-utils"
missing=""
for p in $PKGS; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q < /dev/null
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing < /dev/null
