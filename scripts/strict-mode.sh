# Sourced by the test scripts in place of "set -euo pipefail": a command that fails where no check
# expects it still ends the script, and the script says which command it was, so that no test
# fails without a word. Only the script's own shell speaks: a failure inside a command
# substitution is told once, by the command that used it.
set -Eeuo pipefail
trap 'strict_failed "$?" "$LINENO" "$BASH_COMMAND"' ERR
strict_failed() {
  if [ "$BASHPID" = "$$" ]; then
    echo "FAIL: ${BASH_SOURCE[1]##*/} line $2: \"$3\" ended with status $1" >&2
  fi
}
