#!/usr/bin/env bash
# The sample order placed in the real lumo program as a user would, against
# the order-server double running as a process of its own: lumo runs in a
# virtual X server with its accessibility bus, wholeorderdriver.py presses its
# buttons and fills its fields by name and goes on from each page with Return.
# The start must print no warning. At the end the double must hold every
# picture the client sent, byte for byte, and have seen the whole exchange.
# With --cancel the double answers upload control and session end at a byte a
# second, the customer presses Abbrechen while the pictures go, and lumo must
# have ended at most 3 seconds later. --term goes as far and ends lumo with
# SIGTERM (a log-out) instead: it must end as after Abbrechen, its session
# ended, its optimised copies gone. With --cancel-after-finish the double
# answers the session end at a byte a second, the customer presses Abbrechen
# once the order is finished and its session end waits: the order is placed,
# the confirmation with its number follows within 3 seconds, and no session
# end says "abort". Beside a picture lies a file of its copy's name that the
# customer keeps: every run must leave it as it is.
# With --basket the order is 60 small pictures, whose basket the driver works
# with the keyboard alone and through the accessibility tree before it orders;
# every picture must arrive, declared with the amount the driver gave it.
# Usage: wholeorder.sh [--cancel | --term | --cancel-after-finish | --basket] LUMO DOUBLE RESOURCES CA_CERT
# The virtual X server and the accessibility tools come from tools/deps.sh; without
# them the run fails, so that it never passes unseen. LUMO_ALLOW_SKIP=1 turns that
# into exit status 77 (skipped) on a machine that cannot have them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = "--inside" ]; then
    # In the virtual X server and the private D-Bus session.
    shift
    lumo=$1 driver=$2 mode=$3 out=$4 url=$5
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    launcher=$!
    # Qt's warnings carry their kind, so that the start can be checked for them.
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        QT_MESSAGE_PATTERN='%{if-warning}warning: %{endif}%{if-critical}critical: %{endif}%{message}' \
        "$lumo" -R Resources "${LUMO_PICTURES:-Resources/samples/bilder.txt}" > lumo.log 2>&1 &
    client=$!
    status=0
    /usr/bin/python3 "$driver" "$mode" demo@example.com demo Rechnung "$out" "$url" || status=$?
    if [ "$status" -ne 0 ]; then
        kill "$client" 2> /dev/null || true
    elif [ "$mode" = term ]; then
        # The pictures optimised, the upload under way: what lies beside them, then the signal.
        ls Resources/samples > at-term.txt
        date +%s.%N > "$out"
        kill -TERM "$client"
    fi
    # Finish or Abbrechen ends the program; give it a bounded time.
    for _ in $(seq 600); do
        kill -0 "$client" 2> /dev/null || break
        sleep 0.05
    done
    ended=$(date +%s.%N)
    if kill -0 "$client" 2> /dev/null; then
        echo "wholeorder: lumo still runs after $mode" >&2
        kill "$client"
        status=1
    fi
    wait "$client" || { echo "wholeorder: lumo ended with status $?" >&2; status=1; }
    if { [ "$mode" = cancel ] || [ "$mode" = term ]; } && [ "$status" -eq 0 ]; then
        awk -v pressed="$(cat "$out")" -v ended="$ended" -v what="$mode" 'BEGIN {
            printf "wholeorder: lumo ended %.2f s after %s\n", ended - pressed, what
            exit !(ended - pressed <= 3.0) }' || { echo "wholeorder: more than 3 s" >&2; status=1; }
    fi
    kill "$launcher" 2> /dev/null || true
    wait "$launcher" 2> /dev/null || true
    exit "$status"
fi

mode=finish
slow=()
if [ "${1:-}" = "--cancel" ] || [ "${1:-}" = "--term" ]; then
    mode=${1#--}
    shift
    slow=(--reply-rate uploadctrl_request=1 --reply-rate endsession_request=1)
elif [ "${1:-}" = "--cancel-after-finish" ]; then
    shift
    mode=placed
    slow=(--reply-rate endsession_request=1)
elif [ "${1:-}" = "--basket" ]; then
    shift
    mode=basket
fi
lumo=$1 double=$2 resources=$3 ca=$4
missing() {
    echo "wholeorder: $1 is missing; tools/deps.sh installs it" >&2
    [ "${LUMO_ALLOW_SKIP:-}" = 1 ] && exit 77
    exit 1
}
command -v xvfb-run > /dev/null || missing "xvfb-run (xvfb)"
command -v xauth > /dev/null || missing "xauth"
command -v dbus-run-session > /dev/null || missing "dbus-run-session (dbus)"
[ -x /usr/libexec/at-spi-bus-launcher ] || missing "/usr/libexec/at-spi-bus-launcher (at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2> /dev/null || missing "pyatspi (python3-pyatspi)"

work=$(mktemp -d)
double_pid=
cleanup() {
    if [ -n "$double_pid" ] && kill -0 "$double_pid" 2> /dev/null; then
        kill "$double_pid"
        wait "$double_pid" || true
    fi
    if [ "${KEEP_WORK:-}" = 1 ]; then echo "work folder: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

cp -r "$resources" "$work/Resources"
cp "$ca" "$work/ca-bundle.crt"
own="$work/Resources/samples/blume.png.opti.jpg"
printf 'the customer keeps this file\n' > "$own"
mkdir -p "$work/config" "$work/home" "$work/tmp"
mkdir -m 700 "$work/runtime"

"$double" --http-port 0 --https-port 0 --lists "$work/Resources" --record "$work/record" "${slow[@]}" \
    > "$work/double.out" 2> "$work/double.err" &
double_pid=$!
for _ in $(seq 100); do
    [ -s "$work/double.out" ] && break
    sleep 0.1
done
http=$(sed -n 's|^order-server double: \(http://127\.0\.0\.1:[0-9]*\) .*|\1|p' "$work/double.out")
[ -n "$http" ] || { echo "wholeorder: the double did not start" >&2; cat "$work/double.err" >&2; exit 1; }
cat > "$work/Resources/xtci_servers.xml" << XML
<?xml version="1.0" encoding="UTF-8"?>
<xtci_servers>
 <xtci_server>
  <url>$http/xtci1.5/controller</url>
  <dtd_url>$http/xtci1.5/dtd</dtd_url>
 </xtci_server>
</xtci_servers>
XML

cd "$work"
expected_pictures=5
if [ "$mode" = basket ]; then
    # Small pictures, so that sending them takes little time.
    mkdir "$work/basket"
    for n in $(seq -w 1 60); do
        cp "$work/Resources/samples/klein.jpg" "$work/basket/p$n.jpg"
        echo "$work/basket/p$n.jpg"
    done > "$work/basket/bilder.txt"
    export LUMO_PICTURES="$work/basket/bilder.txt"
    # The protocol's pause before each picture, a second, shortened for the many pictures.
    export LUMO_TEST_SECOND_MS=50
    expected_pictures=60
fi
# Two xvfb-run -a started at once can both take the first free display, and
# the runs (these three, the Windows tests) go on side by side: each looks for
# a free one from a number of its own.
case $mode in cancel) display=140 ;; term) display=160 ;; basket) display=180 ;; placed) display=200 ;; *) display=120 ;; esac
status=0
env -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" \
    TMP="$work/tmp" TEMP="$work/tmp" \
    TMPDIR="$work/tmp" timeout 150 xvfb-run -a -n "$display" -s "-screen 0 1280x1024x24" \
    dbus-run-session -- bash "$here/wholeorder.sh" --inside "$lumo" "$here/wholeorderdriver.py" "$mode" \
    "$work/driver.out" "$http" || status=$?

kill "$double_pid"
wait "$double_pid" || { echo "wholeorder: the double could not write its record" >&2; status=1; }
double_pid=
if [ "$status" -ne 0 ]; then
    echo "wholeorder: the run failed; the client's last lines:" >&2
    tail -n 40 lumo.log >&2 || true
    exit 1
fi

# The start, up to the first Next, warns of nothing: no warning of Qt's, no
# fault of skin or language files. Picture loading says what it does on
# plain lines.
sed '/ETOrderWizard::next()/,$d' lumo.log > start.txt
if grep -i -E 'warn|fehler|error|fail|critical|nicht gefunden|not found|no language file|cannot|invalid|unknown' \
    start.txt > warnings.txt; then
    echo "wholeorder: the start printed warnings:" >&2
    cat warnings.txt >&2
    exit 1
fi

for name in session_request login_request orderdeclaration_request; do
    grep -qx "$name" record/requests.txt || { echo "wholeorder: no $name" >&2; exit 1; }
done

[ "$(cat "$own")" = "the customer keeps this file" ] ||
    { echo "wholeorder: the customer's blume.png.opti.jpg was removed or changed" >&2; exit 1; }
ls Resources/samples | grep -v '^blume\.png\.opti\.jpg$' | grep '\.opti\.jpg$' > left.txt &&
    { echo "wholeorder: copies left among the pictures:" >&2; cat left.txt >&2; exit 1; }

if [ "$mode" = term ]; then
    grep -qx 'quit on signal 15' lumo.log || { echo "wholeorder: lumo did not quit on SIGTERM" >&2; exit 1; }
    grep -v '^blume\.png\.opti\.jpg$' at-term.txt | grep -q '\.opti\.jpg$' ||
        { echo "wholeorder: no optimised copy when the signal came" >&2; exit 1; }
fi
if [ "$mode" = cancel ] || [ "$mode" = term ]; then
    # Cut while the server answered the upload control; the session ended as cancelled.
    printf 'uploadctrl_request:start\nendsession_request:abort\n' > expected.txt
    if ! tail -n 2 record/requests.txt | diff -u expected.txt -; then
        echo "wholeorder: unexpected requests at the end" >&2
        exit 1
    fi
    [ ! -s record/pictures.txt ] || { echo "wholeorder: pictures arrived after $mode" >&2; exit 1; }
    echo "wholeorder: $mode while sending ended lumo and its session within 3 s; no copy left"
    exit 0
fi

# The exchange after the declaration: every picture, finish and a normal end.
sed -n '/^orderdeclaration_request$/,$p' record/requests.txt > after.txt
pictures=$(wc -l < record/pictures.txt)
{
    echo orderdeclaration_request
    for _ in $(seq "$pictures"); do printf 'uploadctrl_request:start\nupload\n'; done
    printf 'uploadctrl_request:start\norderfinish_request\nendsession_request:normal\n'
} > expected.txt
if ! diff -u expected.txt after.txt; then
    echo "wholeorder: unexpected requests after the declaration" >&2
    exit 1
fi
# Every readable sample picture (all but the broken one) arrived as the client sent it: as it
# is, or as an optimised copy whole to its end marker, which the confirmed order left behind.
[ "$pictures" -eq "$expected_pictures" ] ||
    { echo "wholeorder: $pictures pictures arrived, $expected_pictures expected" >&2; exit 1; }
while IFS=$'\t' read -r number size crc file; do
    [ "$size" = size ] && [ "$crc" = crc ] || { echo "wholeorder: picture $number: $size $crc" >&2; exit 1; }
    case "$file" in
    *.opti.jpg)
        [ ! -e "$file" ] || { echo "wholeorder: $file left among the pictures" >&2; exit 1; }
        [ "$(tail -c 2 "record/picture$number" | od -An -tx1 | tr -d ' ')" = ffd9 ] ||
            { echo "wholeorder: picture $number arrived cut" >&2; exit 1; } ;;
    *)
        cmp "record/picture$number" "$file" ||
            { echo "wholeorder: picture $number differs from $file" >&2; exit 1; } ;;
    esac
done < record/pictures.txt

grep -q 'Auftragsbestätigung:' driver.out || { echo "wholeorder: no confirmation" >&2; exit 1; }
if [ "$mode" = placed ]; then
    # The double's first order; the session ended as normal above, never as cancelled.
    grep -q 'ORD-00001' driver.out || { echo "wholeorder: the confirmation has no order number" >&2; exit 1; }
    if grep -q '^endsession_request:abort$' record/requests.txt; then
        echo "wholeorder: the finished order's session was ended as cancelled" >&2
        exit 1
    fi
    echo "wholeorder: Abbrechen after the order was finished: $pictures pictures placed; confirmation shown"
    exit 0
fi
if [ "$mode" = basket ]; then
    # Each picture declared once, with the amount the driver gave its line.
    if ! diff -u <(sort driver.out.amounts) <(sed 's|^.*/||' record/positions.txt | sort); then
        echo "wholeorder: the declared amounts differ from those given in the basket" >&2
        exit 1
    fi
    echo "wholeorder: the basket's amounts, given by keyboard and through the tree, were declared"
fi
echo "wholeorder: $pictures pictures sent and received byte for byte; confirmation shown"
