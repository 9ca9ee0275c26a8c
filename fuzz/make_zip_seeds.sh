#!/bin/sh
# Writes starting inputs for the zip fuzz target into fuzz/seeds/zip_archive/ (not kept
# in git): small archives made by Info-ZIP, plain and with Zip64 records (zip -fz).
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'velvet orbit\n' > "$work/a.txt"
head -c 3000 /dev/zero | tr '\0' 'x' > "$work/b.txt"
mkdir -p seeds/zip_archive
rm -f seeds/zip_archive/*.zip
(cd "$work" && zip -q -X -D -9 plain.zip a.txt b.txt && zip -q -X -D -0 stored.zip a.txt b.txt \
  && zip -q -X -D -fz zip64.zip a.txt b.txt)
cp "$work"/*.zip seeds/zip_archive/
echo "seeds written under $(pwd)/seeds/zip_archive"
