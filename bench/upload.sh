#!/bin/sh
# An order of 50 pictures of about 3 MB uploaded over HTTPS to the order-server
# double: the client's upload thread against the curl command line tool posting
# the same files as multipart uploads, in the same run; then the client's peak
# memory for small and large pictures.
# Usage: bench/upload.sh [build folder] [count] [MB per picture]
set -eu
BUILD=${1:-build/native}
COUNT=${2:-50}
SIZE=${3:-3}
BENCH="$BUILD/bench/lumo_uploadbench"
[ -x "$BENCH" ] || { echo "build $BENCH first" >&2; exit 1; }
command -v curl > /dev/null || { echo "the curl command is needed (apt-get install curl)" >&2; exit 1; }
curl --version | head -n 1
"$BENCH" "$COUNT" "$SIZE"
