#!/usr/bin/env bash
# Runs a test program against local firmware servers: two over HTTPS
#  - one whose certificate comes from a test CA made here, which is trusted
#    only inside a private mount namespace (copies of the certificate folders
#    are mounted over the real ones there; the machine's own store is never
#    touched);
#  - one whose certificate comes from a CA that nobody trusts;
# and one over plain HTTP, which the trusted one redirects to on request.
# The test program finds them through KIVRA_TEST_FIRMWARE_ROOT and
# KIVRA_TEST_UNTRUSTED_ROOT.
#
# Usage: with-firmware-servers.sh <test program> [arguments...]
# Exits 77 (skipped) where no private mount namespace can be made.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)

if [ -z "${KIVRA_PRIVATE_MOUNTS:-}" ]; then
    if ! unshare -m --propagation private true 2>/dev/null; then
        echo "SKIPPED: cannot make a private mount namespace here (unshare -m needs root);"
        echo "         the HTTPS firmware server tests did not run."
        exit 77
    fi
    export KIVRA_PRIVATE_MOUNTS=1
    exec unshare -m --propagation private "$0" "$@"
fi

work=$(mktemp -d /tmp/kivra-https-XXXXXX)
server_pids=()
cleanup() {
    for pid in "${server_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A CA and a certificate for 127.0.0.1 signed by it.
make_ca() { # name
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
        -subj "/CN=Kivra $1 test CA" -keyout "$work/$1-ca.key" -out "$work/$1-ca.crt" 2>/dev/null
}
make_server_cert() { # ca name
    openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
        -subj "/CN=127.0.0.1" -keyout "$work/$1-server.key" -out "$work/$1-server.csr" 2>/dev/null
    printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' \
        >"$work/$1-server.ext"
    openssl x509 -req -in "$work/$1-server.csr" -CA "$work/$1-ca.crt" -CAkey "$work/$1-ca.key" \
        -CAcreateserial -days 2 -extfile "$work/$1-server.ext" -out "$work/$1-server.crt" 2>/dev/null
}
for name in trusted untrusted; do
    make_ca "$name"
    make_server_cert "$name"
done

# Trust the test CA in this namespace only. The hooks of update-ca-certificates
# (Java's key store) serve no one here, so they are left out.
cp -a /etc/ssl/certs "$work/certs"
cp -a /usr/local/share/ca-certificates "$work/local-ca"
cp "$work/trusted-ca.crt" "$work/local-ca/kivra-trusted-test-ca.crt"
mkdir "$work/no-hooks"
mount --bind "$work/certs" /etc/ssl/certs
mount --bind "$work/local-ca" /usr/local/share/ca-certificates
mount --bind "$work/no-hooks" /etc/ca-certificates/update.d
update-ca-certificates >/dev/null 2>&1

start_server() { # name [arguments...]
    local name=$1
    shift
    python3 "$source_root/tests/support/firmware_server.py" \
        --docroot "$source_root/tests/data/firmware" --port-file "$work/$name.port" "$@" &
    server_pids+=($!)
    for _ in $(seq 100); do
        [ -s "$work/$name.port" ] && return 0
        sleep 0.1
    done
    echo "the $name test server did not start"
    exit 1
}
# The trusted server redirects ".../away/..." to the untrusted one and
# ".../plain/..." to the plain one.
certificate() { echo --cert "$work/$1-server.crt" --key "$work/$1-server.key"; }
start_server untrusted $(certificate untrusted)
start_server plain
start_server trusted $(certificate trusted) \
    --partner-port "$(cat "$work/untrusted.port")" --plain-port "$(cat "$work/plain.port")"

export KIVRA_TEST_FIRMWARE_ROOT="https://127.0.0.1:$(cat "$work/trusted.port")/"
export KIVRA_TEST_UNTRUSTED_ROOT="https://127.0.0.1:$(cat "$work/untrusted.port")/"

# Downloads land in a folder of this run alone, so the tests can see what
# they leave behind.
mkdir "$work/tmp"
export TMPDIR="$work/tmp"

"$@"
