# A CUPS scheduler of the test's own, sourced by the CUPS tests:
#
#   source cupsd_session.sh
#   cupsd_session_start WORK [FILE...]     # cupsd on the files of WORK, a new or empty
#                                          # directory; programs among the FILEs join
#                                          # its filters, *.types and *.convs its MIME
#                                          # database
#   lpadmin -p q -E -v "file://$CUPSD_OUT/q" -P some.ppd
#   id=$(cupsd_submit q FILE -o name=value ...)
#   state=$(cupsd_wait_job "$id")           # until it is completed, stopped, aborted or canceled
#   cupsd_session_stop                      # also done on exit, however the test ends,
#                                           # before the test's own cupsd_session_after
#
# Everything the scheduler reads or writes lies under WORK: configuration,
# spool, cache, state, logs, its socket (no network port), and the device
# files each queue writes. The clients find it through CUPS_SERVER and
# CUPS_SERVERROOT, so neither they nor the scheduler ever read or change
# the machine's own CUPS. Run as root, cupsd runs the filters as its
# unprivileged user (lp), which must read WORK; run as anyone else, it
# runs everything as that user.

cupsd_session_fail() { echo "cupsd session: $*" >&2; exit 1; }

CUPSD_PID=
cupsd_session_stop() {
    [ -n "$CUPSD_PID" ] || return 0
    local pid=$CUPSD_PID
    CUPSD_PID=
    kill -TERM "$pid" 2>/dev/null || true
    # cupsd stops its filters and backends on the way out; give it a moment.
    local tries=0
    while kill -0 "$pid" 2>/dev/null && [ $tries -lt 100 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "cupsd session: cupsd $pid did not stop; killing it" >&2
        kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
}

cupsd_session_exit() {
    local status=$?
    cupsd_session_stop
    if declare -F cupsd_session_after >/dev/null; then cupsd_session_after "$status"; fi
    exit "$status"
}

cupsd_session_start() {
    local work=$1
    shift
    case "$work" in
        /*) ;;
        *) cupsd_session_fail "the work directory must be an absolute path, not '$work'" ;;
    esac
    # Never anything the machine's own CUPS uses.
    case "$(realpath -m "$work")/" in
        /etc/cups/* | /var/spool/cups/* | /var/cache/cups/* | /run/cups/* | /var/run/cups/* | \
        /var/log/cups/* | /usr/share/cups/* | /usr/lib/cups/* | /)
            cupsd_session_fail "refusing to run a test cupsd in '$work'" ;;
    esac
    command -v cupsd >/dev/null || PATH=$PATH:/usr/sbin
    command -v cupsd >/dev/null || cupsd_session_fail "no cupsd (scripts/setup installs cups-daemon)"
    command -v cups-config >/dev/null || cupsd_session_fail "no cups-config (scripts/setup installs libcups2-dev)"
    command -v ipptool >/dev/null || cupsd_session_fail "no ipptool (scripts/setup installs cups-ipp-utils)"
    local system_bin system_data
    system_bin=$(cups-config --serverbin)
    system_data=$(cups-config --datadir)

    mkdir -p "$work"
    [ -z "$(ls -A "$work")" ] || cupsd_session_fail "the work directory $work is not empty"
    mkdir -p "$work"/{root/ppd,spool/tmp,cache,state,log,bin/filter,out,home,client}
    # The scheduler's user reads the queues' PPDs and the filters from here.
    chmod 755 "$work" "$work"/{root,root/ppd,bin,bin/filter,out}

    # The machine's own filters, backends and helpers, and the test's filters
    # beside them; ServerBin is a directory of its own so that adding
    # filters changes nothing of the machine's.
    local entry
    for entry in "$system_bin"/*; do
        [ "$(basename "$entry")" = filter ] || ln -s "$entry" "$work/bin/"
    done
    for entry in "$system_bin"/filter/*; do
        ln -s "$entry" "$work/bin/filter/"
    done
    for entry in "$@"; do
        [ -f "$entry" ] || cupsd_session_fail "no file at $entry"
        case "$entry" in
            *.types | *.convs) cp "$entry" "$work/root/" ;;
            *)
                [ -x "$entry" ] || cupsd_session_fail "$entry is not a program"
                # A copy: the scheduler's user need not reach the build tree.
                rm -f "$work/bin/filter/$(basename "$entry")"
                cp "$entry" "$work/bin/filter/"
                chmod 755 "$work/bin/filter/$(basename "$entry")"
                ;;
        esac
    done

    CUPSD_OUT=$work/out
    CUPSD_SOCKET=$work/cupsd.sock
    cat >"$work/root/cupsd.conf" <<EOF
Listen $CUPSD_SOCKET
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
LogLevel debug
MaxLogSize 0
# A failed job stays in the list with its reason, and the queue goes on.
ErrorPolicy abort-job
PreserveJobHistory Yes
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
    # The environment the filters get (SetEnv) is the tests' to add to.
    cat >"$work/root/cups-files.conf" <<EOF
ServerRoot $work/root
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ServerBin $work/bin
DataDir $system_data
ServerKeychain $work/state/ssl
CreateSelfSignedCerts no
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
Printcap $work/state/printcap
FileDevice Yes
Sandboxing relaxed
${CUPSD_FILTER_ENV:-}
EOF
    # The clients: this scheduler only, no user's or machine's lpoptions.
    export CUPS_SERVER=$CUPSD_SOCKET
    export CUPS_SERVERROOT=$work/client
    export HOME=$work/home
    : >"$work/client/client.conf"

    trap cupsd_session_exit EXIT
    cupsd -f -c "$work/root/cupsd.conf" -s "$work/root/cups-files.conf" \
        >"$work/log/cupsd.out" 2>&1 &
    CUPSD_PID=$!
    local tries=0
    until [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ]; do
        if ! kill -0 "$CUPSD_PID" 2>/dev/null; then
            CUPSD_PID=
            cat "$work/log/cupsd.out" "$work/log/error_log" 2>/dev/null | tail -20 >&2
            cupsd_session_fail "cupsd did not start"
        fi
        [ $tries -lt 100 ] || cupsd_session_fail "cupsd did not answer on $CUPSD_SOCKET"
        sleep 0.1
        tries=$((tries + 1))
    done
}

# cupsd_submit QUEUE FILE [lp options...]: prints the job's number.
cupsd_submit() {
    local queue=$1 file=$2
    shift 2
    local said
    said=$(lp -d "$queue" "$@" -- "$file") || cupsd_session_fail "lp refused $file for $queue"
    # "request id is QUEUE-N (1 file(s))"
    said=${said#request id is "$queue"-}
    echo "${said%% *}"
}

# cupsd_job_attribute ID NAME: the job's attribute as ipptool shows it
# ("processing-stopped", a message, ...); empty when it has none.
cupsd_job_attribute() {
    local id=$1 name=$2 socket
    # The scheduler's socket as the host of an IPP URI.
    socket=$(printf %s "$CUPSD_SOCKET" | sed 's|/|%2F|g')
    ipptool -tv "ipp://$socket/jobs/$id" get-job-attributes.test 2>/dev/null |
        sed -n "s/^ *$name ([^)]*) = //p" | head -1 | sed 's/\\\(.\)/\1/g'
}

# cupsd_wait_job ID [SECONDS]: until the scheduler is done with the job:
# completed, or ended otherwise (stopped by a filter's failure, aborted,
# canceled). Prints the job's state.
cupsd_wait_job() {
    local id=$1 limit=${2:-120}
    [ -n "$id" ] || cupsd_session_fail "no job to wait for"
    local tries=0 state
    while :; do
        state=$(cupsd_job_attribute "$id" job-state)
        case "$state" in
            completed | processing-stopped | aborted | canceled) break ;;
        esac
        [ $tries -lt $((limit * 10)) ] || cupsd_session_fail "job $id still $state after ${limit}s"
        sleep 0.1
        tries=$((tries + 1))
    done
    echo "$state"
}
