# shellcheck shell=bash
# Sourced by tests/e2e/run.sh and bench/linkcheck.sh, after
# orv_start_display (whose clean-up on exit it keeps): starts the link
# check's test server (tests/e2e/linkserver.js) and stops it on exit.
#   orv_start_link_server [linkserver.js options...]
# Exports ORV_LINK_PORT and ORV_LINK_SERVER (http://127.0.0.1:PORT), which
# the scenarios read; false, with the reason, when the server did not start.

orv_start_link_server() {
  local root=${ORV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
  command -v node >/dev/null || { echo "linkserver: node is missing (Debian's nodejs)" >&2; return 1; }
  local port_file
  port_file=$(mktemp)
  node "$root/tests/e2e/linkserver.js" --port-file "$port_file" --watch-pid $$ "$@" >/dev/null &
  ORV_LINK_SERVER_PID=$!
  # The clean-up set before stays: ours runs first, then it.
  local before
  before=$(trap -p EXIT)
  eval "set -- $before"
  trap 'kill "$ORV_LINK_SERVER_PID" 2>/dev/null || true; wait "$ORV_LINK_SERVER_PID" 2>/dev/null || true
        '"${3:-}" EXIT
  for _ in $(seq 100); do
    [ -s "$port_file" ] && break
    kill -0 "$ORV_LINK_SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  ORV_LINK_PORT=$(cat "$port_file")
  rm -f "$port_file"
  if [ -z "$ORV_LINK_PORT" ]; then
    echo "linkserver: did not start within 10 s" >&2
    return 1
  fi
  export ORV_LINK_PORT ORV_LINK_SERVER="http://127.0.0.1:$ORV_LINK_PORT"
}
