#!/bin/sh
# An order of 50 pictures of about 3 MB uploaded over HTTPS to the order-server
# double (its own process), on equal server work: the client's upload thread
# and the wizard's send page against the curl command line tool posting the
# same files with upload ids of the same declared order (size and CRC checked
# alike); the loopback floor is the same posts into a bare sink of the double.
# Each round runs all in turn on a fresh double; the ratio to curl of the
# pictures beyond the first fifth is taken round by round (paired), and its
# best and median shown (goal: at least 0.95). Then the client's peak memory
# for small and large pictures, and the whole peak of a process sending an
# order of one picture of 400 MB (goal: at most 60 MB).
# Usage: bench/upload.sh [build folder] [count] [MB per picture] [rounds]
set -eu
BUILD=${1:-build/native}
COUNT=${2:-50}
SIZE=${3:-3}
ROUNDS=${4:-5}
BENCH="$BUILD/bench/lumo_uploadbench"
[ -x "$BENCH" ] || { echo "build $BENCH first" >&2; exit 1; }
command -v curl > /dev/null || { echo "the curl command is needed (apt-get install curl)" >&2; exit 1; }
curl --version | head -n 1
"$BENCH" "$COUNT" "$SIZE" "$ROUNDS"
