#!/bin/sh
# Signs one Windows program in place with Authenticode, from the PKCS#12 file
# in VELLOMAR_SIGN_PFX and its password in VELLOMAR_SIGN_PASSWORD, and has it
# timestamped when VELLOMAR_SIGN_TIMESTAMP names a timestamp server.
#   installer/sign.sh FILE
set -eu
file=$1
signed="$file.signed"
set -- -pkcs12 "$VELLOMAR_SIGN_PFX" -n "Vellomar" -h sha256
if [ -n "${VELLOMAR_SIGN_TIMESTAMP:-}" ]; then
  set -- "$@" -ts "$VELLOMAR_SIGN_TIMESTAMP"
fi
# The password goes through a file only we can read, not the command line.
secret=$(umask 077 && mktemp)
trap 'rm -f "$secret" "$signed"' EXIT
printf '%s' "${VELLOMAR_SIGN_PASSWORD:-}" > "$secret"
osslsigncode sign "$@" -readpass "$secret" -in "$file" -out "$signed" >/dev/null
mv "$signed" "$file"
[ -z "${VELLOMAR_SIGN_LOG:-}" ] || echo "$file" >> "$VELLOMAR_SIGN_LOG"
