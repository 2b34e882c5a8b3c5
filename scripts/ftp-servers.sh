#!/usr/bin/env bash
# Starts or stops the local FTP servers of the tests and writes where they are into BUILD_DIR/ftp.
# Usage: ftp-servers.sh start|stop BUILD_DIR
set -uo pipefail
action=$1
build=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
state="$build/ftp"

stop_all() {
  for f in pyftpd pyftpd-tls tls-cut vsftpd vsftpd-tls vsftpd-tls-reuse; do
    [ -f "$state/$f.pid" ] && kill "$(cat "$state/$f.pid")" 2>/dev/null
    rm -f "$state/$f.pid"
  done
  if [ -f "$state/homes" ]; then
    while read -r d; do [ -n "$d" ] && rm -rf "$d"; done < "$state/homes"
  fi
  rm -f "$state"/*.env "$state"/*.port "$state"/tls.pem "$state"/tls.crt "$state"/*.conf "$state/homes" "$state"/*.unavailable
}

free_port() {
  /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

wait_port() {
  for _ in $(seq 50); do
    /usr/bin/python3 -c "import socket,sys; socket.create_connection(('127.0.0.1',$1),1).close()" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

start_pyftpd() {
  local home anon
  home=$(mktemp -d /tmp/pd-ftp-user.XXXXXX); anon=$(mktemp -d /tmp/pd-ftp-anon.XXXXXX)
  printf '%s\n%s\n' "$home" "$anon" >> "$state/homes"
  printf 'anonymous file\n' > "$anon/welcome.txt"
  /usr/bin/python3 "$root/tests/ftp/pyftpd_server.py" "$home" "$anon" "$state/pyftpd.port" pduser pdsecret \
    </dev/null >"$state/pyftpd.log" 2>&1 &
  echo $! > "$state/pyftpd.pid"
  for _ in $(seq 100); do [ -s "$state/pyftpd.port" ] && break; sleep 0.1; done
  [ -s "$state/pyftpd.port" ] || { echo "pyftpdlib did not start" >&2; return 1; }
  printf 'port=%s\nuser=pduser\npassword=pdsecret\nhome=%s\nanonhome=%s\n' \
    "$(cat "$state/pyftpd.port")" "$home" "$anon" > "$state/pyftpd.env"
}

# A self-signed certificate for 127.0.0.1 and localhost, made afresh for each run.
make_certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=localhost/O=Pandect test" \
    -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
    -keyout "$state/tls.pem" -out "$state/tls.crt" >/dev/null 2>&1 || return 1
  cat "$state/tls.crt" >> "$state/tls.pem"
}

start_pyftpd_tls() {
  local home
  make_certificate || { echo "openssl could not make a certificate" >&2; return 1; }
  home=$(mktemp -d /tmp/pd-ftp-tls.XXXXXX)
  echo "$home" >> "$state/homes"
  /usr/bin/python3 "$root/tests/ftp/pyftpd_server.py" "$home" "$home" "$state/pyftpd-tls.port" pduser pdsecret \
    "$state/tls.pem" </dev/null >"$state/pyftpd-tls.log" 2>&1 &
  echo $! > "$state/pyftpd-tls.pid"
  for _ in $(seq 100); do [ -s "$state/pyftpd-tls.port" ] && break; sleep 0.1; done
  [ -s "$state/pyftpd-tls.port" ] || { echo "pyftpdlib with TLS did not start" >&2; return 1; }
  printf 'port=%s\nuser=pduser\npassword=pdsecret\nhome=%s\nlog=%s\nsha256=%s\n' \
    "$(cat "$state/pyftpd-tls.port")" "$home" "$state/pyftpd-tls.log" \
    "$(openssl x509 -noout -fingerprint -sha256 -in "$state/tls.crt" | sed 's/.*=//')" > "$state/pyftpd-tls.env"
}

# start_vsftpd NAME [extra configuration lines]: plain, or with TLS as the extra lines say.
# A TLS peer that ends its stream without close_notify, for the truncation test of the TLS layer.
start_tls_cut() {
  /usr/bin/python3 "$root/tests/ftp/tls_cut_server.py" "$state/tls.pem" "$state/tls-cut.port" \
    </dev/null >"$state/tls-cut.log" 2>&1 &
  echo $! > "$state/tls-cut.pid"
  for _ in $(seq 100); do [ -s "$state/tls-cut.port" ] && break; sleep 0.1; done
  [ -s "$state/tls-cut.port" ] || { echo "the TLS cut server did not start" >&2; return 1; }
  printf 'port=%s\n' "$(cat "$state/tls-cut.port")" > "$state/tls-cut.env"
}

start_vsftpd() {
  local name=$1 extra=${2:-} home port
  [ -x /usr/sbin/vsftpd ] || { echo "no vsftpd binary" > "$state/$name.unavailable"; return 0; }
  home=$(mktemp -d /tmp/pd-ftp-vsftpd.XXXXXX)
  chmod 755 "$home"
  echo "$home" >> "$state/homes"
  printf 'vsftpd file\n' > "$home/welcome.txt"
  port=$(free_port)
  cat > "$state/$name.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
run_as_launching_user=YES
seccomp_sandbox=NO
anonymous_enable=YES
local_enable=NO
anon_root=$home
no_anon_password=YES
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
anon_umask=022
pasv_enable=YES
port_enable=YES
connect_from_port_20=NO
xferlog_enable=NO
ascii_upload_enable=YES
ascii_download_enable=YES
$extra
CONF
  /usr/sbin/vsftpd "$state/$name.conf" </dev/null >"$state/$name.log" 2>&1 &
  echo $! > "$state/$name.pid"
  if wait_port "$port"; then
    printf 'port=%s\nhome=%s\n' "$port" "$home" > "$state/$name.env"
  else
    echo "vsftpd did not start: $(cat "$state/$name.log")" > "$state/$name.unavailable"
  fi
}

vsftpd_tls() {
  printf 'ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\nforce_anon_data_ssl=YES\n'
  printf 'ssl_tlsv1=YES\nssl_sslv2=NO\nssl_sslv3=NO\nrsa_cert_file=%s\nrsa_private_key_file=%s\n' \
    "$state/tls.crt" "$state/tls.pem"
  printf 'require_ssl_reuse=%s\n' "$1"
}

case "$action" in
start)
  mkdir -p "$state"
  stop_all
  start_pyftpd || exit 1
  start_pyftpd_tls || exit 1
  start_tls_cut || exit 1
  start_vsftpd vsftpd
  start_vsftpd vsftpd-tls "$(vsftpd_tls NO)"
  start_vsftpd vsftpd-tls-reuse "$(vsftpd_tls YES)"
  ;;
stop)
  [ -d "$state" ] && stop_all
  ;;
esac
exit 0
