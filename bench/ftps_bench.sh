#!/usr/bin/env bash
# FTP over TLS: one file down and up through pyftpdlib's TLS handler, Python's ftplib.FTP_TLS (OpenSSL) against
# our engine over SChannel with pacing off. Both protect the data connections (PROT P), passive, binary.
# Usage: bench/ftps_bench.sh
#   PD_BENCH_MIB=64       size of the file in MiB
#   PD_BENCH_BUILD=DIR    build tree (default build/bench; its own Wine prefix)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PD_BENCH_BUILD:-$root/build/bench}
mib=${PD_BENCH_MIB:-64}
bytes=$((mib * 1024 * 1024))

. "$root/bench/ftp_common.sh"
ftp_bench_setup pyftpd-tls

head -c "$bytes" /dev/urandom > "$home/bench.bin"
results="$work/results"
: > "$results"

# Transfer time only (sign-on excluded), as for the engine.
/usr/bin/python3 - "$port" "$user" "$pass" "$home" "$work" "$bytes" >> "$results" <<'PY'
import ftplib, ssl, sys, time
port, user, password, home, work, size = sys.argv[1:7]
context = ssl.create_default_context()
context.check_hostname = False
context.verify_mode = ssl.CERT_NONE
ftp = ftplib.FTP_TLS(context=context)
ftp.connect("127.0.0.1", int(port))
ftp.login(user, password)
ftp.prot_p()
ftp.voidcmd("TYPE I")
start = time.perf_counter()
with open(work + "/python-down.bin", "wb") as f:
    ftp.retrbinary("RETR bench.bin", f.write, 65536)
s = time.perf_counter() - start
print("python download bytes=%s seconds=%.3f mbps=%.3f" % (size, s, int(size) / s / 1e6))
start = time.perf_counter()
with open(home + "/bench.bin", "rb") as f:
    ftp.storbinary("STOR python-up.bin", f, 65536)
s = time.perf_counter() - start
print("python upload bytes=%s seconds=%.3f mbps=%.3f" % (size, s, int(size) / s / 1e6))
ftp.quit()
PY

(
  export BUILD_DIR="$build"
  . "$root/scripts/wine-env.sh"
  wine "$exe" 127.0.0.1 "$port" "$user" "$pass" bench.bin "Z:${work//\//\\}\\engine-down.bin" engine-up.bin \
    --no-pause --tls </dev/null >"$work/engine.out" 2>"$work/engine.err"
) || { echo "engine run failed:" >&2; cat "$work/engine.err" >&2; exit 1; }
tr -d '\r' < "$work/engine.out" | sed -n "s/^RESULT engine /engine-tls /p" >> "$results"

ftp_bench_same "$work/python-down.bin" "$home/python-up.bin" "$work/engine-down.bin" "$home/engine-up.bin"

echo "File: $bytes bytes ($mib MiB), pyftpdlib TLS handler on 127.0.0.1, PROT P, passive, binary, pacing off."
awk '
  { for (i = 3; i <= NF; i++) { split($i, kv, "="); f[$1 " " $2, kv[1]] = kv[2] } rows[++n] = $1 " " $2 }
  END {
    printf "%-12s %-9s %9s %9s\n", "tool", "direction", "seconds", "MB/s"
    for (i = 1; i <= n; i++) { split(rows[i], r, " "); printf "%-12s %-9s %9.3f %9.3f\n", r[1], r[2], f[rows[i], "seconds"], f[rows[i], "mbps"] }
    split("download upload", ds, " ")
    for (j = 1; j <= 2; j++) {
      p = f["python " ds[j], "mbps"]; e = f["engine-tls " ds[j], "mbps"]
      if (p > 0) printf "goal TLS %-9s %.3f of ftplib.FTP_TLS (goal at least 0.5): %s\n", ds[j], e / p, (e / p >= 0.5 ? "met" : "NOT met")
    }
  }' "$results"
