#!/bin/sh
# Runs a command (typically ctest or a Windows program) in a ready Wine session; call it under
# xvfb-run. The session's server is stopped afterwards, and the command's exit code returned.
. "$(dirname "$0")/wine_env.sh"
wine_start
"$@"
rc=$?
wine_stop
exit $rc
