#!/bin/sh
# Makes a program's manual page from its own --help and --version (help2man),
# compressed as Debian wants it (best compression, no name or time stamp).
#
#   make-page.sh PROGRAM SECTION SUMMARY OUT.gz [HELP-OPTION [INCLUDE]]
#
# HELP-OPTION is what prints the whole help ("--help" by default; "none" for
# a program that prints its usage when called without arguments); INCLUDE a
# help2man include file with what the help does not say. The help's
# "Exit status:", "Examples:" and "See also:" become the page's sections of
# those names. The page's date is SOURCE_DATE_EPOCH's.
set -eu
program=$1 section=$2 summary=$3 out=$4 help=${5---help} include=${6:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

name=$(basename "$program")
if [ "$help" = none ]; then
  # The usage without arguments ends with failure; help2man wants success.
  cat >"$work/$name" <<WRAPPER
#!/bin/sh
if [ "\$1" = --version ]; then echo "$name $STAVIO_VERSION"; exit 0; fi
"$program" || true
WRAPPER
  chmod +x "$work/$name"
  program=$work/$name
  help=--help
fi
set -- --no-info --section="$section" --name="$summary" --help-option="$help" --output="$work/page"
if [ -n "$include" ]; then set -- "$@" --include="$include"; fi
help2man "$@" "$program"
sed -e 's/^\.SS "Exit status:"$/.SH "EXIT STATUS"/' \
    -e 's/^\.SS "Examples:"$/.SH EXAMPLES/' \
    -e 's/^\.SS "See also:"$/.SH "SEE ALSO"/' "$work/page" | gzip -9n >"$out"
