#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, kept wholly inside one folder.
# Usage: scripts/pg-test-server.sh start DIR | stop DIR
#   start  initialises a fresh cluster in DIR/data (any earlier one there is stopped
#          and removed), trusts every local user, listens on a free port of
#          127.0.0.1 and on a Unix socket in DIR, and writes DIR/port and DIR/socket.
#   stop   stops the server and removes DIR; quiet when nothing runs there.
# PostgreSQL refuses to run as root: as root the server runs as the `postgres`
# account, so DIR must be reachable by it (a folder under /tmp is).
set -euo pipefail

usage()
{
    echo "usage: $0 start DIR | stop DIR" >&2
    exit 2
}
[ $# -eq 2 ] || usage
action=$1
mkdir -p "$2"
dir=$(cd "$2" && pwd)

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bin" ] || [ ! -x "$bin/pg_ctl" ]; then
    echo "$0: PostgreSQL is not installed (apt-get install postgresql)" >&2
    exit 1
fi

as_server_user()
{
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

running()
{
    [ -f "$dir/data/postmaster.pid" ] && as_server_user "$bin/pg_ctl" -D "$dir/data" status >/dev/null 2>&1
}

stop_server()
{
    if running; then
        as_server_user "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    fi
}

# Something answers on 127.0.0.1:$1.
port_taken()
{
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

start_server()
{
    stop_server
    rm -rf "$dir/data" "$dir/port" "$dir/socket" "$dir/log"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$dir"
    fi
    chmod 755 "$dir"
    as_server_user "$bin/initdb" -D "$dir/data" -A trust -U postgres --no-sync -E UTF8 --locale=C.UTF-8 \
        >"$dir/initdb.log" 2>&1 || {
        cat "$dir/initdb.log" >&2
        exit 1
    }
    # Settings in the file rather than on pg_ctl's command line, which a shell reads.
    cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$dir'
fsync = off
synchronous_commit = off
full_page_writes = off
EOF
    local attempt port
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        port=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
        port_taken "$port" && continue
        # Another program may take the port between the probe and the start: try another.
        if as_server_user "$bin/pg_ctl" -D "$dir/data" -o "-p $port" -l "$dir/log" -w -t 30 start >/dev/null; then
            echo "$port" >"$dir/port"
            echo "$dir" >"$dir/socket"
            echo "PostgreSQL $(basename "$(dirname "$bin")") on port $port, socket in $dir"
            return 0
        fi
    done
    echo "$0: the server did not start; its log:" >&2
    cat "$dir/log" >&2 || true
    exit 1
}

case $action in
    start) start_server ;;
    stop)
        stop_server
        rm -rf "$dir"
        ;;
    *) usage ;;
esac
