#!/bin/sh
# The marginal cost of one request document over HTTPS (100 and 1000 posts,
# the slope between them): the client's request layer against the curl
# command line tool (one process, serial and --parallel-max 1), both on one
# reused connection to the same order-server double, which runs as a process
# of its own for both; floor: libcurl with one
# reused handle. Each round runs all in turn; the ratios are taken round by
# round (paired), and their best and median shown (goal: at most 1.00 of curl
# --parallel-max 1).
# Usage: bench/requests.sh [build folder] [rounds]
set -eu
BUILD=${1:-build/native}
ROUNDS=${2:-7}
BENCH="$BUILD/bench/lumo_requestbench"
[ -x "$BENCH" ] || { echo "build $BENCH first" >&2; exit 1; }
command -v curl > /dev/null || { echo "the curl command is needed (apt-get install curl)" >&2; exit 1; }
curl --version | head -n 1
"$BENCH" "$ROUNDS"
