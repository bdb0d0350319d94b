#!/usr/bin/env bash
# End-to-end checks of the system subcommands: sysinfo, password, cpuid,
# machine-id, check-id, save-as.  Usage: sys_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# --- sysinfo ----------------------------------------------------------------------
total_kb=$(awk '/^MemTotal:/ {print $2}' /proc/meminfo)
posix_only "sysinfo: total memory as /proc/meminfo says (Windows counts it its own way)" &&
  expect_match "sysinfo: total memory as the kernel says" 0 "^memory total: +$((total_kb * 1024)) bytes" \
    -- "$zel" sysinfo
posix_only "sysinfo: TMPDIR (Windows takes TMP and TEMP)" &&
  TMPDIR=/var/tmp expect_match "sysinfo: temporary directory from TMPDIR" 0 "temporary dir: +/var/tmp/$" \
    -- "$zel" sysinfo
expect_match "sysinfo: processor count as /proc/cpuinfo lists them" 0 \
  "^processors: +$(grep -c '^processor' /proc/cpuinfo)$" \
  -- "$zel" sysinfo
expect_match "sysinfo takes no operand" 2 "" -- "$zel" sysinfo x

# --- password -----------------------------------------------------------------------
expect_match "password: 8 characters by default, the digits after six letters" 0 \
  '^([bcdfghjklmnpqrstvwxz][aeiouy]){3}[0-9]{2}$' \
  -- "$zel" password
expect_match "password -n 9 starts with a vowel" 0 \
  '^[aeiouy]([bcdfghjklmnpqrstvwxz][aeiouy]){2}[bcdfghjklmnpqrstvwxz][0-9]{2}[aeiouy]$' \
  -- "$zel" password -n 9
expect_match "password -n 4, the shortest" 0 '^[bcdfghjklmnpqrstvwxz][aeiouy][0-9]{2}$' \
  -- "$zel" password -n 4
# A length the generator cannot make is refused with the range, never
# quietly made shorter or longer.
for n in 3 15 20 -1; do
  expect_match "password -n $n is refused" 2 "^zel: password: option '--length' needs an integer from 4 to 14, not '$n'" \
    -- "$zel" password -n "$n"
done
expect_match "password --mixed --special keeps to its alphabet" 0 '^[a-zA-Z0-9_!$%#=]{14}$' \
  -- "$zel" password --mixed --special -n 14
out=$("$zel" password --count 5 -n 14)
if [ "$(sort -u <<<"$out" | wc -l)" != 5 ]; then
  echo "FAIL: password --count 5 gives five different passwords"; failures=$((failures + 1))
fi
expect_match "password --count 0" 2 "count" -- "$zel" password --count 0
expect_match "password -n x" 2 "length" -- "$zel" password -n x
expect_match "password operand" 2 "" -- "$zel" password 5

# --- cpuid, machine-id, check-id --------------------------------------------------------
if grep -q '^vendor_id' /proc/cpuinfo; then
  vendor=$(awk -F': ' '/^vendor_id/ {print $2; exit}' /proc/cpuinfo)
  stepping=$(awk -F': ' '/^stepping/ {print $2; exit}' /proc/cpuinfo)
  expect_match "cpuid: vendor as /proc/cpuinfo says" 0 "^vendor: +$vendor$" -- "$zel" cpuid
  expect_match "cpuid: stepping as /proc/cpuinfo says" 0 "^stepping: +$stepping$" -- "$zel" cpuid
  # Family and model as the kernel computes them (the extended family added
  # to base 15, the extended model from family 6 on), the raw fields beside.
  family=$(awk -F': ' '/^cpu family/ {print $2; exit}' /proc/cpuinfo)
  model=$(awk -F': ' '/^model\t/ {print $2; exit}' /proc/cpuinfo)
  expect_match "cpuid: family as the kernel says" 0 "^family: +$family \(base [0-9]+, extended [0-9]+\)$" -- "$zel" cpuid
  expect_match "cpuid: model as the kernel says" 0 "^model: +$model \(base [0-9]+, extended [0-9]+\)$" -- "$zel" cpuid
  expect_match "sysinfo: family/model/stepping as the kernel says" 0 "^family/model/step: $family/$model/$stepping$" \
    -- "$zel" sysinfo
  expect_write_error "cpuid to a full disk" -- "$zel" cpuid
  expect_match "cpuid --features names the FPU" 0 "^ +0  Floating Point Unit$" -- "$zel" cpuid --features
  expect_match "cpuid --speed measures" 0 "^clock rate: +[1-9][0-9]*\.[0-9]+ MHz \(measured over 20 ms\)$" \
    -- "$zel" cpuid --speed 20
  expect_match "cpuid --speed 0" 2 "speed" -- "$zel" cpuid --speed 0
  id=$("$zel" machine-id)
  expect_match "machine-id: four groups of four hex digits" 0 '^[0-9A-F]{4}(-[0-9A-F]{4}){3}$' \
    -- "$zel" machine-id
  expect "machine-id is stable" 0 "$id" -- "$zel" machine-id
  expect "check-id accepts the machine id" 0 "valid" -- "$zel" check-id "$id"
  expect "check-id accepts it in lower case with blanks" 0 "valid" \
    -- "$zel" check-id "$(tr 'A-F-' 'a-f ' <<<"$id")"
  expect "check-id accepts machine-id --ex" 0 "valid" -- "$zel" check-id "$("$zel" machine-id --ex)"
fi
expect "check-id of a known id" 0 "valid" -- "$zel" check-id 1234-5678-9ABC-826E
expect "check-id rejects a changed check group" 1 "invalid" -- "$zel" check-id 1234-5678-9ABC-826F
expect "check-id rejects 15 digits" 1 "invalid" -- "$zel" check-id 1234-5678-9ABC-826
expect_match "check-id without ID" 2 "missing ID" -- "$zel" check-id

# --- save-as, with a stand-in zenity first on PATH -----------------------------------------
# (Windows shows the common dialog instead, which no script can answer.)
if posix_only "save-as: the stand-in zenity"; then
mkdir -p "$tmp/bin" "$tmp/etc"
cat >"$tmp/bin/zenity" <<EOS
#!/bin/sh
for a in "\$@"; do printf '%s\n' "\$a" >> "$tmp/log"; done
echo -- >> "$tmp/log"
n=\$(cat "$tmp/count" 2>/dev/null || echo 0); n=\$((n+1)); echo \$n > "$tmp/count"
line=\$(sed -n "\${n}p" "$tmp/replies")
case "\$line" in *' '*) printf '%s\n' "\${line#* }";; esac
exit \${line%% *}
EOS
chmod +x "$tmp/bin/zenity"
reply() { rm -f "$tmp/count" "$tmp/log"; printf '%s\n' "$@" >"$tmp/replies"; }
save_as() { PATH="$tmp/bin:$PATH" DISPLAY=:77 "$zel" save-as "$@"; }

reply "0 $tmp/report.csv"
expect "save-as forces the extension" 0 "$tmp/report.txt" \
  -- save_as --filter 'Text|*.txt' --filter 'All|*.*' --ext txt --title Report --dir "$tmp" --name r.csv
expect "save-as shows title, start name and file types" 0 \
  "$(printf '%s\n' --file-selection --save --title=Report "--filename=$tmp/r.csv" \
     '--file-filter=Text | *.txt' '--file-filter=All | *.*' --)" -- cat "$tmp/log"
touch "$tmp/old.txt"
reply "0 $tmp/old.txt" "1" "0 $tmp/new.txt"
expect "save-as: No to replacing shows the dialog again" 0 "$tmp/new.txt" -- save_as
reply "0 $tmp/etc/x.txt" "1 Cancel"
expect_match "save-as: Cancel in a forbidden folder" 1 "^zel: save-as: cancelled$" -- save_as --forbid "$tmp/etc"
reply "0 $tmp/etc/x.txt" "0"
expect "save-as: Yes in a forbidden folder" 0 "$tmp/etc/x.txt" -- save_as --forbid "$tmp/etc"
reply "1"
expect_match "save-as cancelled" 1 "^zel: save-as: cancelled$" -- save_as
expect_match "save-as without a display" 1 \
  'Component "save-as": Error in standard dialog \(errnum = \$FFFF\)\.' \
  -- env -u DISPLAY -u WAYLAND_DISPLAY PATH="$tmp/bin:$PATH" "$zel" save-as
expect_match "save-as: a quote cannot go into the parameters" 2 "title" -- save_as --title 'a"b'
fi

finish
