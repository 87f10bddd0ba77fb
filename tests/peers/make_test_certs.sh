#!/usr/bin/env bash
# Makes the certificates of the TLS mail peers in the folder given, once:
#   ca.pem / ca.der          the test CA, trusted inside the test Wine prefix only
#   localhost.pem/.key       for "localhost" and 127.0.0.1, from the test CA
#   other-host.pem/.key      for "other.example", from the test CA
#   rogue-localhost.pem/.key for "localhost", from a CA that nobody trusts
#   expired-localhost.pem/.key for "localhost", from the test CA, expired
set -euo pipefail
dir=$1
[ -s "$dir/expired-localhost.pem" ] && exit 0
mkdir -p "$dir"
cd "$dir"

make_ca() {
    openssl req -x509 -new -newkey rsa:2048 -nodes -sha256 -days 3650 -keyout "$1.key" \
        -out "$1.pem" -subj "/CN=$2" -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}

# $1 name, $2 CA, $3 subjectAltName, $4 days valid (-1: expired yesterday)
make_leaf() {
    openssl req -new -newkey rsa:2048 -nodes -sha256 -keyout "$1.key" -out "$1.csr" \
        -subj "/CN=${3#DNS:}" 2>/dev/null
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\nsubjectAltName=%s\n' \
        "$3" > "$1.ext"
    openssl x509 -req -in "$1.csr" -CA "$2.pem" -CAkey "$2.key" -CAcreateserial -days "${4:-3650}" \
        -sha256 -extfile "$1.ext" -out "$1.pem" 2>/dev/null
    rm -f "$1.csr" "$1.ext"
}

make_ca ca "Vontara Test CA"
make_ca rogue-ca "Unknown Test CA"
openssl x509 -in ca.pem -outform DER -out ca.der
make_leaf localhost ca "DNS:localhost,IP:127.0.0.1"
make_leaf other-host ca "DNS:other.example"
make_leaf rogue-localhost rogue-ca "DNS:localhost,IP:127.0.0.1"
make_leaf expired-localhost ca "DNS:localhost,IP:127.0.0.1" -1
