#!/usr/bin/env bash
# run_signed.sh NATIVE_DIST WINDOWS_DIST WINE_RUN PROBE SOURCE_DIR
# Signed containers: a container signed after packaging with a throwaway certificate verifies,
# inspects as sound and signed and opens under Wine with its document; with the signature removed
# again it still opens; a viewer that is itself signed gives containers without a signature,
# which then sign, verify and open. Skips (status 77) only when osslsigncode or openssl is missing.
set -uo pipefail
native=$1 windows=$2 wine_run=$3 probe=$4 source=$5

for tool in osslsigncode openssl python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup installs it)"; exit 77; }
done
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

sample="$source/examples/sample.rtf"
sample_notes=14
title="signed sample"

# A throwaway self-signed code-signing certificate; verification trusts it through -CAfile.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Scrivora test signer" -addext extendedKeyUsage=codeSigning >"$work/openssl.log" 2>&1 ||
  { echo "openssl could not make a certificate: $(cat "$work/openssl.log")" >&2; exit 1; }

# Only options that osslsigncode 2.5 (Debian 12) knows.
sign() {
  osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "Scrivora test" -h sha256 \
    -in "$1" -out "$2" >"$work/sign.log" 2>&1 || { fail "signing $1: $(cat "$work/sign.log")"; return 1; }
}
verifies() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }

# security_directory FILE: the PE security directory entry as "offset size".
security_directory() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
optional = pe + 24
magic = struct.unpack_from("<H", data, optional)[0]
entry = optional + (112 if magic == 0x20B else 96) + 4 * 8
print(*struct.unpack_from("<II", data, entry))
PY
}

size_of() { stat -c %s "$1"; }

# A container whose length is 4 past a multiple of 8, so signing pads it with 4 zero bytes and
# removing the signature leaves them behind.
description="$work/signed.description"
for extra in "" . .. ... .... ..... ...... .......; do
  printf '%s\r\nSigned after packaging%s\r\n' "$title" "$extra" >"$description"
  package signed "$sample" "$description" || exit 1
  [ $(( $(size_of "$work/signed/embedded.exe") % 8 )) -eq 4 ] && break
done
container="$work/signed/embedded.exe"

# Signed after packaging: verifies, inspects as sound and signed, opens with its document.
check
sign "$container" "$work/signed.exe" &&
  { verifies "$work/signed.exe" || fail "the signed container does not verify: $(tail -3 "$work/verify.log")"; }
check_inspect signed "$work/signed.exe" signed=true "markers.main=$sample_notes" \
  "markers.notes=$sample_notes" markers.paired=true "title=$title" pieces.padding.size=4 \
  "containerEnd=$(( $(size_of "$container") + 4 ))"
check_viewer signed "$work/signed.exe" "$title" "$sample_notes"

# The signature removed again: the padding stays, and the document still opens.
check
osslsigncode remove-signature -in "$work/signed.exe" -out "$work/removed.exe" >"$work/remove.log" 2>&1 ||
  fail "removing the signature: $(cat "$work/remove.log")"
[ "$(size_of "$work/removed.exe")" -eq $(( $(size_of "$container") + 4 )) ] ||
  fail "removing the signature left $(size_of "$work/removed.exe") bytes"
check_inspect removed "$work/removed.exe" signed=false pieces.padding.size=4 \
  "markers.main=$sample_notes"
check_viewer removed "$work/removed.exe" "$title" "$sample_notes"

# A signed viewer: embed leaves its signature behind, so the container starts unsigned with an
# empty security directory, and the copied image is the unsigned viewer's length.
signed_tools="$work/signed-tools"
mkdir -p "$signed_tools"
cp "$native/embed" "$native/notes" "$native/encrypt" "$signed_tools/"
check
sign "$windows/scrivora.exe" "$signed_tools/scrivora.exe"
verifies "$signed_tools/scrivora.exe" || fail "the signed viewer does not verify"
mkdir -p "$work/from-signed-viewer"
(cd "$work/from-signed-viewer" && "$signed_tools/embed" "$sample" "$description") >"$work/fsv.log" 2>&1 ||
  fail "embed with a signed viewer failed: $(cat "$work/fsv.log")"
fresh="$work/from-signed-viewer/embedded.exe"
check
[ "$(security_directory "$fresh")" = "0 0" ] ||
  fail "the container's security directory is '$(security_directory "$fresh")', expected none"
verifies "$fresh" && fail "a container from a signed viewer carries a signature that verifies"
check_inspect from-signed-viewer "$fresh" signed=false \
  "pieces.viewer.size=$(size_of "$windows/scrivora.exe")" "markers.main=$sample_notes"
check
sign "$fresh" "$work/fresh-signed.exe" &&
  { verifies "$work/fresh-signed.exe" || fail "the container from a signed viewer does not verify once signed: $(tail -3 "$work/verify.log")"; }
check_inspect fresh-signed "$work/fresh-signed.exe" signed=true "markers.main=$sample_notes"
check_viewer fresh-signed "$work/fresh-signed.exe" "$title" "$sample_notes"

echo "$checks checks, $failures failures"
[ "$failures" -eq 0 ]
