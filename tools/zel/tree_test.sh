#!/usr/bin/env bash
# End-to-end checks of the directory-tree subcommands (find, copy, trash,
# rmtree, dates).
# Usage: tree_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# A tree with names differing in case, an empty file, a hidden directory,
# a link loop and a link out of the tree.
t=$tmp/t
mkdir -p "$t/sub/deeper" "$t/.git" "$tmp/outside"
printf 'a' >"$t/a.txt"; printf 'A' >"$t/A.TXT"; printf 'd' >"$t/sub/d.Txt"
printf 'f' >"$t/sub/deeper/f.txt"; : >"$t/empty.txt"; printf 'g' >"$t/.git/g.txt"
printf 'x' >"$tmp/outside/x.txt"; printf 'b' >"$t/b.bin"
ln -s . "$t/loop"; ln -s "$tmp/outside" "$t/out"

sorted() { "$@" | LC_ALL=C sort; }
expect "find matches without case" 0 "$(printf '%s\n' "$t/A.TXT" "$t/a.txt" "$t/empty.txt")" \
  -- sorted "$zel" find "$t" '*.txt'
expect "find --recursive skips hidden dirs and links" 0 \
  "$(printf '%s\n' "$t/A.TXT" "$t/a.txt" "$t/empty.txt" "$t/sub/d.Txt" "$t/sub/deeper/f.txt")" \
  -- sorted "$zel" find --recursive "$t" '*.TXT'
expect "find -r with ?" 0 "$(printf '%s\n' "$t/A.TXT" "$t/a.txt" "$t/sub/d.Txt" "$t/sub/deeper/f.txt")" \
  -- sorted "$zel" find -r "$t" '?.tXT'
expect "find no match" 1 "" -- "$zel" find "$t" 'none*'
# find answers "no match" with 1, so its errors are 2, as grep's.
expect_match "find missing dir" 2 "^zel: find: .*none: No such file or directory$" -- "$zel" find "$tmp/none" '*'
expect_match "find names the missing MASK" 2 "^zel: find: missing MASK$" -- "$zel" find "$t"
expect_match "find names both missing" 2 "^zel: find: missing DIR and MASK$" -- "$zel" find
expect_match "find mask is a name" 2 "without '/'" -- "$zel" find "$t" 'sub/*'

# copy: a file, into a directory, a tree, failures.
head -c 100000 /dev/urandom >"$tmp/src.bin"
touch -d '2001-02-03 04:05:06 UTC' "$tmp/src.bin"
chmod 0750 "$tmp/src.bin"
expect "copy a file" 0 "" -- "$zel" copy "$tmp/src.bin" "$tmp/dst.bin"
expect "copy is identical" 0 "" -- cmp "$tmp/src.bin" "$tmp/dst.bin"
expect "copy keeps time and mode" 0 "981173106 750" -- stat -c '%Y %a' "$tmp/dst.bin"
mkdir "$tmp/into"
expect "copy into a directory" 0 "" -- "$zel" copy "$tmp/src.bin" "$tmp/into"
expect "copy into a directory made the file" 0 "" -- cmp "$tmp/src.bin" "$tmp/into/src.bin"
expect_match "copy missing source" 1 "^zel: copy: .*none: No such file or directory$" -- "$zel" copy "$tmp/none" "$tmp/x"
printf 'keep' >"$tmp/guarded"; chmod 0444 "$tmp/guarded"
expect_match "copy over a read-only file" 1 "^zel: copy: cannot create" -- "$zel" copy "$tmp/src.bin" "$tmp/guarded"
expect "read-only file unchanged" 0 "keep" -- cat "$tmp/guarded"
expect "copy a tree" 0 "" -- "$zel" copy "$t" "$tmp/t2"
expect "tree copy is identical, links as links" 0 "" -- diff -r --no-dereference "$t" "$tmp/t2"
expect_match "copy names the missing DST" 2 "^zel: copy: missing DST$" -- "$zel" copy "$t"
# A tree is not copied into itself (it would copy its own copy without
# end): refused before anything is made, directly or through a link.
mkdir -p "$tmp/self/data/sub"; printf 'x' >"$tmp/self/data/sub/f"; ln -s data "$tmp/self/alias"
for dst in data/inside data data/sub/deeper/er alias/new ./data/./x; do
  expect_match "copy refuses data into $dst" 1 "^zel: copy: cannot copy the directory 'data' into itself" \
    -- bash -c "cd '$tmp/self' && exec '$zel_abs' copy data '$dst'"
done
expect "copy into itself created nothing" 0 "$(printf '%s\n' data data/sub data/sub/f)" \
  -- bash -c "cd '$tmp/self' && find data | sort"
expect "copy beside itself (a name that only begins alike) works" 0 "" \
  -- bash -c "cd '$tmp/self' && '$zel_abs' copy data data2 && cmp data/sub/f data2/sub/f"

# Ctrl-C (and SIGHUP, as when the terminal goes): the file being copied is
# removed and the status says interrupted (128 + the signal).
# The source is sparse, so making it costs nothing.  The signal must reach
# the copy while it writes: a watcher stops the process as soon as it holds
# the destination open for writing, sends the signal and lets it go on.  A copy
# that finishes before it can be caught (a file system that clones files)
# is reported as not checked, with the reason.
truncate -s 1G "$tmp/huge"
interrupt_copy() {
  python3 - "$zel" "$tmp/huge" "$tmp/huge.copy" "$1" <<'EOF'
import os, signal, subprocess, sys
zel, src, dst, sig = sys.argv[1:]
folder = os.path.dirname(dst)
copy = subprocess.Popen([zel, "copy", src, dst], stderr=subprocess.PIPE)

def writing():
    """Whether the copy holds a file of the destination folder open for writing."""
    base = f"/proc/{copy.pid}"
    try:
        fds = os.listdir(base + "/fd")
    except OSError:
        return False
    for fd in fds:
        try:
            target = os.readlink(f"{base}/fd/{fd}")
            if target == src or os.path.dirname(target) != folder:
                continue
            with open(f"{base}/fdinfo/{fd}") as info:
                flags = int(info.read().split("flags:")[1].split()[0], 8)
            if flags & os.O_ACCMODE != os.O_RDONLY:
                return True
        except (OSError, IndexError, ValueError):
            pass
    return False

caught = False
while copy.poll() is None:
    if writing():
        os.kill(copy.pid, signal.SIGSTOP)
        caught = writing()
        os.kill(copy.pid, getattr(signal, sig))
        os.kill(copy.pid, signal.SIGCONT)
        break
err = copy.communicate()[1].decode(errors="replace")
if not caught:
    print("not caught", copy.returncode)
else:
    print(copy.returncode, "interrupted" in err, os.path.exists(dst))
EOF
}
for sig in SIGINT:130 SIGHUP:129; do
  caught=$(interrupt_copy "${sig%:*}")
  case $caught in
    "not caught 0") echo "note: the copy finished before it was seen writing (a cloning file system?); ${sig%:*} not checked" ;;
    "not caught"*) expect "copy of a sparse file" 0 "not caught 0" -- echo "$caught" ;;
    *) expect "${sig%:*} during a copy exits ${sig#*:}, says so, leaves no partial file" 0 \
         "${sig#*:} True False" -- echo "$caught" ;;
  esac
  rm -f "$tmp/huge.copy"
done
rm -f "$tmp/huge"

# A copy beyond the file size limit fails with a message naming the file
# and leaves no partial file under its name, a single file or in a tree.
mkdir -p "$tmp/fsz/src"; head -c 300000 /dev/urandom >"$tmp/fsz/src/big"; printf 's' >"$tmp/fsz/src/small"
expect_match "copy past ulimit -f" 1 "write error on '$tmp/fsz/big.copy': File too large" \
  -- bash -c "ulimit -f 100; exec \"\$0\" copy \"$tmp/fsz/src/big\" \"$tmp/fsz/big.copy\"" "$zel"
expect "no partial file past ulimit -f" 1 "" -- test -e "$tmp/fsz/big.copy"
expect_match "tree copy past ulimit -f names the file" 1 "cannot create '$tmp/fsz/dst/big'|write error on '$tmp/fsz/dst/big'" \
  -- bash -c "ulimit -f 100; exec \"\$0\" copy \"$tmp/fsz/src\" \"$tmp/fsz/dst\"" "$zel"
expect "tree copy past ulimit -f: no partial file, the rest copied" 0 "big: no; small: s" \
  -- bash -c "printf 'big: %s; small: %s' \"\$(test -e '$tmp/fsz/dst/big' && echo yes || echo no)\" \"\$(cat '$tmp/fsz/dst/small')\""

# A link in the destination is refused, named with the reason, never
# written through; the rest is copied.
mkdir -p "$tmp/ld/src/sub" "$tmp/ld/dst" "$tmp/ld/victim"; printf 'f' >"$tmp/ld/src/sub/f"; printf 'g' >"$tmp/ld/src/g"
ln -s "$tmp/ld/victim" "$tmp/ld/dst/sub"
expect_match "copy refuses a link in the destination" 1 "^zel: copy: cannot create '$tmp/ld/dst/sub/': Not a directory" \
  -- "$zel" copy "$tmp/ld/src" "$tmp/ld/dst"
expect "nothing written through the link" 0 "" -- ls -A "$tmp/ld/victim"
expect "the rest copied" 0 "g" -- cat "$tmp/ld/dst/g"

# trash: into a trash under the test's own directory, never the user's.
export XDG_DATA_HOME=$tmp/data HOME=$tmp/home
printf 'old' >"$tmp/Old.LOG"; printf 'keep' >"$tmp/keep.txt"
expect "trash a mask" 0 "" -- "$zel" trash "$tmp/*.log"
expect "trashed file in files/" 0 "old" -- cat "$tmp/data/Trash/files/Old.LOG"
expect_match "trash info entry" 0 "^Path=$tmp/Old.LOG$" -- cat "$tmp/data/Trash/info/Old.LOG.trashinfo"
expect "other files stay" 0 "keep" -- cat "$tmp/keep.txt"
expect_match "trash nothing matched" 1 "nothing moved" -- "$zel" trash "$tmp/*.none"
# A mask's directory is resolved as the system does: "ln/.." is the parent
# of the link's target, not the directory holding the link.
mkdir -p "$tmp/tr/real/deep"; ln -s "$tmp/tr/real/deep" "$tmp/tr/ln"
printf 'r' >"$tmp/tr/real/y.txt"; printf 'b' >"$tmp/tr/y.txt"
expect "trash ln/../y.txt" 0 "" -- "$zel" trash "$tmp/tr/ln/../y.txt"
expect "trash took the file beside the link's target" 1 "" -- test -e "$tmp/tr/real/y.txt"
expect "trash left the file beside the link" 0 "b" -- cat "$tmp/tr/y.txt"
mv "$tmp/data/Trash/files" "$tmp/data/Trash/files.away" && printf 'x' >"$tmp/data/Trash/files"
expect_match "trash failure names the file and the reason" 1 \
  "cannot move '$tmp/keep.txt' to the trash: the trash folder .*/files is not a directory" \
  -- "$zel" trash "$tmp/keep.txt"
rm "$tmp/data/Trash/files" && mv "$tmp/data/Trash/files.away" "$tmp/data/Trash/files"

# rmtree: links removed, not followed; a read-only file stays and is named.
expect "rmtree a tree with links" 0 "" -- "$zel" rmtree "$tmp/t2"
expect "rmtree removed it" 1 "" -- test -e "$tmp/t2"
expect "link target untouched" 0 "x" -- cat "$tmp/outside/x.txt"
mkdir -p "$tmp/r/sub"; printf 'p' >"$tmp/r/sub/ro"; chmod 0444 "$tmp/r/sub/ro"
expect_match "rmtree read-only file" 1 "cannot delete '$tmp/r/sub/ro': read-only" -- "$zel" rmtree "$tmp/r"
expect "read-only file kept" 0 "p" -- cat "$tmp/r/sub/ro"
expect_match "rmtree missing" 1 "No such file" -- "$zel" rmtree "$tmp/none"
expect_match "rmtree a file" 1 "Not a directory" -- "$zel" rmtree "$tmp/keep.txt"

# rmtree refuses '.', '..' and whatever is the current directory or one of
# its parents, before deleting anything.  ('/' is refused by the same check;
# it is not run here, where a fault would cost the machine.)
mkdir -p "$tmp/rf/a/cwd"; printf 'k' >"$tmp/rf/a/keep"; printf 'k' >"$tmp/rf/a/cwd/keep"
for dir in . .. ./ ../cwd/.. "$tmp/rf/a" "$tmp/rf/a/cwd/"; do
  expect_match "rmtree refuses $dir" 1 "^zel: rmtree: refusing to delete '$dir'" \
    -- bash -c "cd '$tmp/rf/a/cwd' && exec \"\$0\" rmtree '$dir'" "$zel_abs"
done
expect "refused rmtree deleted nothing" 0 "2" -- bash -c "find '$tmp/rf' -type f | wc -l"

# Walks name what they cannot read; rmtree names what it cannot delete.
if [ "$(id -u)" != 0 ]; then
  mkdir -p "$tmp/nr/locked"; printf 'x' >"$tmp/nr/locked/x"; printf 'y' >"$tmp/nr/y"; chmod 0 "$tmp/nr/locked"
  expect_match "find names an unreadable directory" 2 "^zel: find: cannot read '$tmp/nr/locked/': Permission denied" \
    -- "$zel" find -r "$tmp/nr" '*'
  expect_match "copy names an unreadable directory" 1 "^zel: copy: cannot read '$tmp/nr/locked/': Permission denied" \
    -- "$zel" copy "$tmp/nr" "$tmp/nr2"
  expect_match "rmtree names an undeletable directory" 1 "^zel: rmtree: cannot delete '$tmp/nr/locked/': Permission denied" \
    -- "$zel" rmtree "$tmp/nr"
  chmod 755 "$tmp/nr/locked"
else
  echo "note: running as root, which reads every directory; unreadable-directory messages not checked"
fi

# dates: UTC in and out.
printf 'd' >"$tmp/dated"
expect_match "dates --set-modified" 0 "^modified: 2001-02-03 04:05:06.000 UTC$" \
  -- "$zel" dates --set-modified '2001-02-03 04:05:06' "$tmp/dated"
expect "dates set the host's time" 0 "981173106" -- stat -c %Y "$tmp/dated"
# Whole minutes land on the whole minute (not a tick before, which ls and
# make read as the second before).
for hm in 00:01 07:15 12:34 13:37 18:59 23:58; do
  "$zel" dates --set-modified "2024-03-01 $hm" "$tmp/dated" >/dev/null
  expect "dates --set-modified $hm is exact" 0 "2024-03-01 $hm:00.000000000" \
    -- bash -c "TZ=UTC stat -c %y \"$tmp/dated\" | cut -c1-29"
done
expect_match "dates shows three times" 0 "^created: .*accessed: .*modified: " \
  -- bash -c "\"$zel\" dates \"$tmp/dated\" | tr '\n' ' '"
expect_match "dates bad DATE" 2 "bad DATE" -- "$zel" dates --set-modified 2001-13-01 "$tmp/dated"
expect_match "dates missing file" 1 "^zel: dates: .*none: No such file or directory$" -- "$zel" dates "$tmp/none"

finish
