#!/usr/bin/env bash
# Makes the release: builds the program for 32-bit Windows (the product) and
# for 64-bit Windows, release configuration, and packs each with the read-me
# for Windows users into a ZIP in dist/:
#   dist/Veruvo-<version>-win32.zip, dist/Veruvo-<version>-win64.zip
# The version is the project's (CMakeLists.txt). Each package is checked
# (tests/release/check_package.py) before the command reports success; the
# 32-bit one must hold the very executable whose end-to-end tests passed in the
# 32-bit guest (the record that scripts/test.sh writes, build/i686/Veruvo.exe.tested).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

die() {
  echo "FAILED: $*" >&2
  exit 1
}

bash scripts/setup.sh || die "scripts/setup.sh"

version=$(sed -n 's/^project(Veruvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || die "no project version in CMakeLists.txt"

staging=$(mktemp -d "${TMPDIR:-/tmp}/veruvo-release.XXXXXX")
trap 'rm -rf "$staging"' EXIT
mkdir -p dist

# The read-me is kept with LF line ends; Notepad of older Windows shows only
# CR LF ones as line breaks.
sed 's/$/\r/' release/README.txt >"$staging/README.txt"

# Preset, its build folder, package platform, and the record of its tested
# executable ("-": none is required).
for build in "windows-i686 build/i686 win32 build/i686/Veruvo.exe.tested" "windows-x64 build/x64 win64 -"; do
  read -r preset folder platform tested <<<"$build"
  echo "==== $preset"
  cmake --preset "$preset" >/dev/null || die "configuring $preset"
  cmake --build --preset "$preset" --target Veruvo || die "building $preset"

  package="dist/Veruvo-$version-$platform.zip"
  rm -f "$package"
  cp "$folder/app/Veruvo.exe" "$staging/Veruvo.exe"
  # -X: no Unix owners or permissions, which mean nothing on Windows.
  (cd "$staging" && zip -q -X -9 "$repo/$package" Veruvo.exe README.txt) || die "packing $package"
  tested_option=()
  [[ $tested != - ]] && tested_option=(--tested "$tested")
  python3 tests/release/check_package.py --platform "$platform" --version "$version" "${tested_option[@]}" "$package" ||
    die "$package does not pass its check"
done

echo "Release $version:"
ls -l dist/Veruvo-"$version"-win32.zip dist/Veruvo-"$version"-win64.zip
