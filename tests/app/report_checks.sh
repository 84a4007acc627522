# Sourced by the tests that check a saved report; they set $loc (the Windows path of the test
# location) and define fail.

# A report as saved: the mark, the box, CR LF lines, the counts and one row per combination.
check_report() {  # file reads writes
  local file=$1 reads=$2 writes=$3 report
  [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$file lacks the byte-order mark"
  report=$(tail -c +4 "$file")
  [ "$(printf '%s' "$report" | head -n 1)" = $'+----------------------------------+  \r' ] || fail "$file does not open with its box"
  [ "$(printf '%s\n' "$report" | grep -vc $'\r$')" -eq 0 ] || fail "a line of $file does not end in CR LF"
  printf '%s' "$report" | grep -q "^Read.tests                      $reads / $reads"$'\r$' || fail "$file: Read.tests is not $reads / $reads"
  printf '%s' "$report" | grep -q "^Write.tests                     $writes / $writes"$'\r$' || fail "$file: Write.tests is not $writes / $writes"
  [ "$(printf '%s' "$report" | grep -c '^ *[0-9]*  |  ')" -eq $((reads + writes)) ] || fail "$file has not $((reads + writes)) rows"
  printf '%s' "$report" | grep -q "^Test.path                       $(printf '%s' "$loc" | sed 's/\\/\\\\/g')"$'\r$' \
    || fail "$file: Test.path is not the location"
  grep -q "^$(printf '%-32s' Volume.file_system)"$'[^?\r]' "$file" || fail "$file lacks the location's file system"
}
