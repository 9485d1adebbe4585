#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs COMMAND while the user's real single-instance lock is held, found and
# taken exactly as Mirado takes it (a lock already held by the user's own
# Mirado serves as well, and is taken over if that window closes). A test
# that still reaches for the real lock then fails every time, not by chance.
# Afterwards it checks that the lock was still held; if not, the run fails.
#
#   scripts/with-real-lock.sh LOCK_HOLDER COMMAND...
set -euo pipefail
holder=$1
shift

coproc HOLDER { exec "$holder" hold; }
# Bash forgets the coprocess's descriptors and process id once it ends.
holder_in=${HOLDER[1]}
holder_pid=$HOLDER_PID
if ! read -r -t 30 state path <&"${HOLDER[0]}"; then
    echo "with-real-lock: could not take the user's single-instance lock" >&2
    exit 1
fi
case "$state" in
    held) echo "The user's single-instance lock $path is held while the tests run." ;;
    waiting) echo "The user's single-instance lock $path is held by a running Mirado; it stays held while the tests run." ;;
    *) echo "with-real-lock: unexpected answer: $state $path" >&2; exit 1 ;;
esac

status=0
"$@" || status=$?

if "$holder" check; then
    echo "The user's single-instance lock was held throughout."
else
    echo "with-real-lock: the user's single-instance lock was not held at the end of the run" >&2
    status=1
fi
eval "exec $holder_in>&-"
wait "$holder_pid" || true
exit "$status"
