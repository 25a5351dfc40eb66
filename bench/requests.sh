#!/bin/sh
# 200 request posts over HTTPS in one session: the client's request layer
# against the curl command line tool (one invocation, --parallel-max 1), in
# the same run against the same order-server double.
# Usage: bench/requests.sh [build folder] [count]
set -eu
BUILD=${1:-build/native}
COUNT=${2:-200}
BENCH="$BUILD/bench/lumo_requestbench"
[ -x "$BENCH" ] || { echo "build $BENCH first" >&2; exit 1; }
command -v curl > /dev/null || { echo "the curl command is needed (apt-get install curl)" >&2; exit 1; }
curl --version | head -n 1
"$BENCH" "$COUNT"
