#!/usr/bin/env bash
# Makes the archives the archive tests read, with the real tools, from a tree of known files.
# Usage: make_fixtures.sh OUTPUT_DIRECTORY
# The archives are made again only when this script changed since they were made.
set -euo pipefail
out=$1
stamp=$(md5sum "$0" | cut -d' ' -f1)
if [ -f "$out/ready" ] && [ "$(cat "$out/ready")" = "$stamp" ]; then exit 0; fi
export LC_ALL=C.UTF-8
sevenzip=$(command -v 7zz || command -v 7z || true)
for tool in zip gzip tar gcab python3; do command -v $tool >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }; done
[ -n "$sevenzip" ] || { echo "missing tool: 7zz or 7z" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out/src/nested/deeper" "$out/src/жук" "$out/src/中文" "$out/long"
cd "$out"
printf 'hello\n' > src/hello.txt
: > src/empty.bin
python3 - <<'PY'
import random
r = random.Random(15)
open("src/random.bin", "wb").write(bytes(r.getrandbits(8) for _ in range(300000)))
open("src/text.txt", "w").write("".join(f"line {i} of a compressible text\n" for i in range(8000)))
open("src/nested/deeper/leaf.txt", "w").write("leaf\n")
open("src/жук/Ωmega.txt", "w").write("omega\n")
open("src/中文/文件.txt", "w").write("zhongwen\n")
# Names beyond the 100 bytes of a plain tar header: a long file name and a long path.
long_dir = "long/" + "d" * 60 + "/" + "e" * 60
import os
os.makedirs(long_dir)
open(long_dir + "/" + "f" * 120 + ".txt", "w").write("long name\n")
PY
# Odd seconds, so that a time cut to two seconds or to the minute shows.
find src long -exec touch -h -d '2021-03-04 05:06:07' {} +

( cd src && zip -q -r ../info.zip . )
( cd src && zip -q -r -0 ../stored.zip . )
( cd src && zip -q -r -fz ../zip64.zip . )
( cd src && zip -q -P secret ../encrypted.zip hello.txt text.txt )
( cd src && "$sevenzip" a -tzip -bd ../sevenzip.zip . >/dev/null )
python3 - <<'PY'
import os
for i in range(70000):
    d = f"many/d{i // 1000:02d}"
    if i % 1000 == 0:
        os.makedirs(d, exist_ok=True)
    open(f"{d}/f{i:05d}", "wb").close()
PY
( cd many && zip -q -r -D ../many.zip . )
rm -rf many

cp src/text.txt single.txt
touch -d '2021-03-04 05:06:07' single.txt
gzip -k single.txt
rm single.txt
gzip -n < src/text.txt > noname.gz

tar --format=ustar -cf ustar.tar -C src .
tar --format=v7 -cf v7.tar -C src hello.txt nested
tar --format=pax -cf pax.tar -C src . -C ../long .
tar --format=gnu -cf gnu.tar -C src . -C ../long .
tar --format=gnu -czf gnu.tgz -C src . -C ../long .
gzip -c pax.tar > pax.tar.gz

( cd src && gcab -c -z ../files.cab hello.txt random.bin text.txt empty.bin nested/deeper/leaf.txt жук/Ωmega.txt )
echo "$stamp" > "$out/ready"
