#!/bin/sh
# Undo checked from outside: a mirror of a changed copy of /usr/share/doc, man and locale onto
# a copy of them under the first-start rule "Spiegeln", undone, and the target compared with
# a snapshot taken before the run by rsync, which must list nothing but folder times.
#
#     sh bench/undo_usr_share.sh PROGRAM WORK
#
# PROGRAM is gleichwart-sync, WORK a folder of the script's own (emptied first).
set -eu
program=$(realpath "$1")
work=$2
rm -rf "$work"
mkdir -p "$work/start" "$work/ziel" "$work/home"
for part in doc man locale; do
    cp -a "/usr/share/$part" "$work/start/"
    cp -a "/usr/share/$part" "$work/ziel/"
done
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
    XDG_STATE_HOME="$work/home/state"

# A hundred files edited, a hundred new, a hundred deleted, each spread over the tree.
find "$work/start" -type f | sort > "$work/files"
total=$(wc -l < "$work/files")
step=$((total / 100))
awk -v s="$step" 'NR % s == 0' "$work/files" | head -100 > "$work/edit"
awk -v s="$step" 'NR % s == 1' "$work/files" | head -100 > "$work/delete"
while IFS= read -r f; do printf 'bearbeitet\n' >> "$f"; touch -d '+1 hour' "$f"; done < "$work/edit"
while IFS= read -r f; do rm -f "$f"; done < "$work/delete"
i=0
awk -v s="$step" 'NR % s == 2' "$work/files" | head -100 | while IFS= read -r f; do
    i=$((i + 1)); printf 'neu %s\n' "$i" > "$(dirname "$f")/neu-$i.txt"
done
echo "files in the start tree before the changes: $total"

cp -a "$work/ziel" "$work/snapshot"
"$program" --ja --regel Spiegeln "$work/start" "$work/ziel"
"$program" --rueckgaengig --ja
rsync -rlptn --delete --itemize-changes "$work/snapshot/" "$work/ziel/" > "$work/changes"
echo "rsync lists $(wc -l < "$work/changes") entries, of which not a folder's time only:"
grep -v '^\.d\.\.t\.\.\.\.\.\. ' "$work/changes" || true
