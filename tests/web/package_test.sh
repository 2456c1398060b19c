#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The page's zip as a user or a web server gets it: exactly the page's files
# and the read-me in one folder, everything the page loads at most 200 KB
# with gzip, and the same bytes when made again from the same commit.
#   package_test.sh SOURCE_DIR VERSION WEB_BUILD
set -euo pipefail
source_dir=$1 version=$2 build=$3
name=gradolux-$version-web
zip=$build/packages/$name.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package_test: $*" >&2; exit 1; }

[[ -f "$zip" ]] || fail "no $zip"
(cd "$build/packages" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the zip"

listed=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
wanted="$name/ $name/LIESMICH.txt $name/gradolux-32.png $name/gradolux-page.js $name/gradolux-sans-bold.woff2 \
$name/gradolux-sans.woff2 $name/gradolux.css $name/gradolux.js $name/index.html "
[[ "$listed" == "$wanted" ]] || fail "the zip holds: $listed"

unzip -q "$zip" -d "$work"
page=$work/$name
grep -q "Content-Security-Policy\" content=\"default-src 'self'; script-src 'self' 'wasm-unsafe-eval'\"" \
    "$page/index.html" || fail "index.html lacks the page's security policy"
iconv -f UTF-8 -t UTF-8 "$page/LIESMICH.txt" >/dev/null || fail "LIESMICH.txt is not UTF-8"
grep -q "index.html" "$page/LIESMICH.txt" || fail "LIESMICH.txt does not say how to open the page"

# Everything the page loads, as a server sends it with gzip.
total=0
for file in index.html gradolux.js gradolux-page.js gradolux.css gradolux-32.png gradolux-sans.woff2 \
    gradolux-sans-bold.woff2; do
    size=$(gzip -9c "$page/$file" | wc -c)
    echo "package_test: $file $size bytes with gzip"
    total=$((total + size))
done
echo "package_test: the page loads $total bytes with gzip"
((total <= 200 * 1024)) || fail "the page loads $total bytes with gzip, more than 200 KB"

# Made again from the same build, with the time it was made with: the same bytes.
SOURCE_DATE_EPOCH=$(cat "$build/packages/SOURCE_DATE_EPOCH") bash "$source_dir/resources/web/make_package.sh" "$version" "$build/page" "$build/LIESMICH.txt" "$work/again" \
    >/dev/null
cmp "$zip" "$work/again/$name.zip" || fail "the zip differs when made again"
echo "package_test: $zip is whole, small and reproducible"
