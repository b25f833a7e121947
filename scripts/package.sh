#!/usr/bin/env bash
# Builds the Debian package lumodm_<version>_<arch>.deb in the source folder:
# both programs, the desktop entry and icons, the AppStream entry, the
# manual pages, the copyright file and the changelog, after checking the
# desktop entry and the AppStream entry (CI runs lintian on the package).
#   LUMODM_BUILD_DIR   build folder (default: build-package, programs only)
#   LUMODM_CMAKE_ARGS  extra CMake arguments (no spaces within one)
# Arguments given to the script go to CMake as they are, e.g.
#   bash scripts/package.sh "-DLUMODM_MAINTAINER=Ann Smith <ann@lab.org>"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
LUMODM_PACKAGING=1 "$root/scripts/install-deps.sh"
build=${LUMODM_BUILD_DIR:-$root/build-package}
if [ -z "${LUMODM_BUILD_DIR:-}" ]; then
  # shellcheck disable=SC2086
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DLUMODM_BUILD_TESTS=OFF -DLUMODM_BUILD_BENCH=OFF ${LUMODM_CMAKE_ARGS:-} "$@"
else
  # shellcheck disable=SC2086
  cmake -S "$root" -B "$build" -G Ninja ${LUMODM_CMAKE_ARGS:-} "$@"
fi
cmake --build "$build" -j "$(nproc)" --target lumodm lumodm-read lumodm_manpages

desktop-file-validate "$root/resources/lumodm.desktop"
appstreamcli validate --no-net "$build"/app/programs/*.metainfo.xml

cd "$build"
rm -f lumodm_*.deb
cpack -G DEB
cp lumodm_*.deb "$root/"
ls "$root"/lumodm_*.deb
