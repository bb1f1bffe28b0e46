#!/usr/bin/env bash
# scripts/package.sh [--check] [BUILD]: builds the Debian package
# BUILD/melotrix_VERSION-1_ARCH.deb. BUILD defaults to build-package, which is
# configured here when it is not yet: built with Debian's hardening flags,
# without the tests and benchmarks. --check then runs scripts/check-package.sh
# on the package (exit status 77 when its tools are missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check=0
if [[ ${1:-} == --check ]]; then
  check=1
  shift
fi
build=${1:-$root/build-package}

((check == 0)) || "$root/scripts/check-package.sh" --tools
if [[ ! -f $build/CMakeCache.txt ]]; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELOTRIX_TESTS=OFF -DMELOTRIX_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
fi
rm -f "$build"/melotrix_*.deb
cmake --build "$build" -j "${JOBS:-2}" --target package
deb=$(echo "$build"/melotrix_*.deb)
echo "$deb"
((check == 0)) || "$root/scripts/check-package.sh" "$deb"
