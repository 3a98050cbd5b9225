#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, the velmora libraries instrumented)
# in build-fuzz/ and runs each for the given number of seconds, starting from seeds made with the real
# tools. Findings are written as crash-*/leak-*/timeout-* files into build-fuzz/findings/.
set -euo pipefail

seconds=${1:?usage: fuzz/run.sh <seconds>}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=(fuzz_zip_central_directory fuzz_listing_parsers)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,fuzzer-no-link -fno-omit-frame-pointer" >/dev/null
cmake --build "$build" --target "${targets[@]}"

# Seeds: small archives made by the tools, and the listings the tools print for them.
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds/sample/docs" "$seeds/fuzz_zip_central_directory" "$seeds/fuzz_listing_parsers"
(
    cd "$seeds/sample"
    printf 'alpha' >a.txt
    printf 'readme' >docs/r.txt
    mkdir -p Demo.app/Contents && printf 'plist' >Demo.app/Contents/Info.plist
    zip -q -r ../fuzz_zip_central_directory/plain.zip a.txt docs Demo.app
    zip -q -r -P secret ../fuzz_zip_central_directory/encrypted.zip a.txt
    zip -q -z ../fuzz_zip_central_directory/plain.zip <<<"an archive comment"
    7zz a -tzip ../fuzz_zip_central_directory/7zz.zip a.txt docs >/dev/null
    7zz a ../s.7z a.txt docs Demo.app >/dev/null
    rar a -r -idq ../s.rar a.txt docs Demo.app
    ln -sf a.txt 'link "quoted"'
    tar -cf ../s.tar a.txt docs Demo.app 'link "quoted"'
    out=../fuzz_listing_parsers
    7zz l -slt ../s.7z >"$out/7zz-slt.txt"
    7zz l ../s.7z >"$out/7zz-plain.txt"
    "$(command -v unrar-nonfree || command -v unrar)" lt -v -p- ../s.rar >"$out/unrar-lt.txt"
    unzip -l ../fuzz_zip_central_directory/plain.zip >"$out/unzip-l.txt"
    tar --list --verbose --full-time --numeric-owner --quoting-style=c --file=../s.tar >"$out/tar-list.txt"
)
# And the seeds the normal build's tests run the targets over.
for target in "${targets[@]}"; do cp "$root/fuzz/seeds/$target"/* "$seeds/$target/"; done
cp "$root"/tests/fixtures/listings/*.txt "$seeds/fuzz_listing_parsers/"

findings=$build/findings
mkdir -p "$findings"
status=0
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    dictionary=()
    [ "$target" = fuzz_listing_parsers ] && dictionary=(-dict="$root/fuzz/listing.dict")
    echo "== $target for $seconds s"
    "$build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/$target-" \
        "${dictionary[@]}" "$corpus" "$seeds/$target" || status=1
done
exit $status
