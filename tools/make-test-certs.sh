#!/usr/bin/env bash
# Makes the certificates the HTTPS tests and the demo use, into the folder $1:
# a test authority with a server certificate for 127.0.0.1 and localhost, a
# second authority with a certificate for the same names (unknown issuer),
# and a certificate of the test authority for another host (wrong name).
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
# openssl reports even success on its error output: show it when a step fails.
quiet() {
  local out
  if ! out=$("$@" 2>&1); then
    printf '%s\n' "$out" >&2
    echo "make-test-certs: failed: $*" >&2
    exit 1
  fi
}
key() { quiet openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:prime256v1 -out "$1"; }
ca() { # name subject
  key "$1.key"
  quiet openssl req -x509 -new -key "$1.key" -out "$1.crt" -days 3650 -subj "$2" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
}
leaf() { # name ca san
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$3" > "$1.ext"
  quiet openssl req -new -key server.key -out "$1.csr" -subj "/CN=lumo test server"
  quiet openssl x509 -req -in "$1.csr" -CA "$2.crt" -CAkey "$2.key" -CAcreateserial -out "$1.crt" \
    -days 825 -extfile "$1.ext"
  rm -f "$1.csr" "$1.ext"
}
ca ca "/CN=lumo test authority"
ca otherca "/CN=lumo other authority"
key server.key
leaf server ca "IP:127.0.0.1,DNS:localhost"
leaf otherserver otherca "IP:127.0.0.1,DNS:localhost"
leaf wronghost ca "DNS:wrong-host.invalid"
