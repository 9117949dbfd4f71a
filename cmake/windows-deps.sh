#!/bin/sh
# Prepares what a Windows cross build finds under build/windows-deps/<triple>
# (the toolchain files search there): GoogleTest built from Debian's sources,
# and the header-only nlohmann-json and CLI11 staged from the host's copies
# so that the host's /usr/include never reaches the cross compiler.
# Usage: cmake/windows-deps.sh i686|x86_64 [--no-googletest]
set -eu
arch=$1
with_googletest=${2:-}
case "$arch" in
  i686|x86_64) ;;
  *) echo "usage: $0 i686|x86_64 [--no-googletest]" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$root/build/windows-deps/$arch-w64-mingw32
mkdir -p "$prefix/include" "$prefix/share/cmake"
for package in nlohmann_json:nlohmann CLI11:CLI; do
  name=${package%%:*}
  headers=${package#*:}
  rm -rf "$prefix/share/cmake/$name"
  cp -r "/usr/share/cmake/$name" "$prefix/share/cmake/$name"
  ln -sfn "/usr/include/$headers" "$prefix/include/$headers"
done
if [ "$with_googletest" = --no-googletest ] || [ -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  exit 0
fi
work=$root/build/windows-deps/googletest-$arch
cmake -S /usr/src/googletest -B "$work" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >/dev/null
cmake --build "$work" -j2
cmake --install "$work" >/dev/null
