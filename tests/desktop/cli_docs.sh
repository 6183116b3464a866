#!/usr/bin/env bash
# The installed manual page of dravik-cli has a section for every command that `dravik-cli --help`
# lists, and each section names every option its `COMMAND --help` text names; the installed
# completion offers every command and every option of the command's synopsis.
#   cli_docs.sh PREFIX
set -euo pipefail
prefix=$1
cli=$prefix/bin/dravik-cli
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Every word that looks like an option: -o, --only-present.
options_in() { grep -oE -- '(^|[^A-Za-z0-9-])--?[a-z][a-z0-9-]*' | grep -oE -- '--?[a-z][a-z0-9-]*' | sort -u; }
names() { grep -qE -- "(^|[^A-Za-z0-9-])$1([^A-Za-z0-9-]|\$)"; }

# The page as text: roff's escaped minus signs and backslashes as plain characters.
page=$(gzip -dc "$prefix/share/man/man1/dravik-cli.1.gz" | sed -e 's/\\-/-/g' -e 's/\\e/\\/g' -e 's/\\&//g')
commands=$("$cli" --help | sed -n 's/^  dravik-cli \([a-z0-9-]*\).*/\1/p')
[ -n "$commands" ] || fail "dravik-cli --help lists no commands"
for option in $("$cli" --help | options_in); do
    names "$option" <<<"$page" || fail "the manual page does not name $option of dravik-cli --help"
done

source "$prefix/share/bash-completion/completions/dravik-cli"
# What the completion offers for the words typed so far (the last one being completed).
offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _dravik_cli 2>/dev/null
    echo " ${COMPREPLY[*]} "
}

for command in $commands; do
    section=$(awk -v name=".SS $command" '$0 == name { inside = 1; next } /^\.S[SH] / { inside = 0 } inside' <<<"$page")
    [ -n "$section" ] || fail "the manual page has no section for $command"
    for option in $("$cli" "$command" --help | options_in); do
        names "$option" <<<"$section" || fail "the manual page does not name $option under $command"
    done
    [[ $(offered dravik-cli "${command:0:2}") == *" $command "* ]] || fail "the completion does not offer $command"
    for option in $("$cli" "$command" --help | head -n 1 | options_in) --help; do
        [[ $(offered dravik-cli "$command" -) == *" $option "* ]] ||
            fail "the completion does not offer $option after $command"
    done
done

[[ $(offered dravik-cli --v) == *" --version "* ]] || fail "the completion does not offer --version"

((failures == 0)) && echo "the manual page and the completion know every command and option"
exit $((failures > 0))
