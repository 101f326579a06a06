#!/usr/bin/env bash
# pendlow-web refuses a command line it cannot honour (exit code 64) before it opens any window:
# addresses other than http and https, a sign-in without a callback scheme of its own, bad sizes.
# Usage: test_helper_arguments.sh <build dir>   (inside scripts/test-env.sh)
set -uo pipefail
helper=$1/pendlow-web
status=0

refuses() {
    local what=$1
    shift
    local code
    timeout 20 "$helper" "$@" >/dev/null 2>&1
    code=$?
    if [ "$code" -ne 64 ]; then
        echo "FAIL: $what: exit code $code, expected 64"
        status=1
    fi
}

refuses "no arguments"
refuses "unknown mode" show -- http://127.0.0.1:9/
refuses "two addresses" browse -- http://127.0.0.1:9/ http://127.0.0.1:9/other
refuses "file address" browse -- file:///etc/passwd
refuses "script address" browse -- 'javascript:alert(1)'
refuses "data address" browse -- 'data:text/html,<p>hi</p>'
refuses "address without host" browse -- http:///path
refuses "width not a number" browse --width wide -- http://127.0.0.1:9/
refuses "sign-in without scheme" sign-in -- http://127.0.0.1:9/login
refuses "sign-in with https as callback" sign-in --callback-scheme https -- http://127.0.0.1:9/login
refuses "sign-in with a malformed scheme" sign-in --callback-scheme 'pend low' -- http://127.0.0.1:9/login
refuses "sign-in at a file address" sign-in --callback-scheme pendlow -- file:///tmp/login.html

[ "$status" -eq 0 ] && echo "PASS: every refused command line ends with 64"
exit $status
