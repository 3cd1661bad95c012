# Backup, run on the device by plink after the applications were fetched and
# before /var/mobile and /var/root are. pscp keeps neither owners nor modes, so
# this records them for the applications, /var/mobile and /var/root into
# /var/root/Library/Zorvane/owners-modes.txt, every file's size into
# file-sizes.txt beside it, which the backup then fetches with /var/root and
# checks its copy against, and every link's target into links.txt, which the
# restore makes the links again from. The pairing records (Library/Lockdown)
# are not part of a backup.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so your files were not listed and the backup cannot be checked. Run the backup again." >&2
  exit 1
fi
. /plink.exe
# The links that point at nothing, set aside for the copies, are listed in
# their place (the restore makes them again) and set aside once more after.
zv_put_back_held
zv_say "Recording the owners and modes of your files..."
tool=$(zv_tool chown) || { zv_hold_links; exit 1; }
if sh "$tool" -s "$ZV_SIZES" -l "$ZV_LINKS" -x Library/Lockdown -x Library/Zorvane "$ZV_RECORD" \
     Applications /Applications mobile /var/mobile root /var/root; then
  zv_say "Recorded the owners and modes of $(grep -vc '^#' "$ZV_RECORD") files and folders."
  # Which device this is, for the backup to name; a device that cannot say
  # still backs up.
  zv_device_name >"$ZV_DEVICE" 2>/dev/null || rm -f "$ZV_DEVICE"
  # The whole job's size, for the Console and the progress beside the busy sign,
  # thousands grouped as in the restore's line ("18,230 files, 1,083.5 MB"); by
  # hand, since the device's awk may know no grouping flag.
  awk 'function grouped(s,  r) {
         while (length(s) > 3) { r = "," substr(s, length(s) - 2) r; s = substr(s, 1, length(s) - 3) }
         return s r
       }
       NR > 1 && /^[0-9]+ / { n++; b += $1 }
       END {
         mb = sprintf("%.1f", b / 1000000); dot = index(mb, ".")
         printf "The device holds %s files, %s%s MB to back up.\n", grouped(sprintf("%d", n)),
           grouped(substr(mb, 1, dot - 1)), substr(mb, dot)
       }' "$ZV_SIZES"
  zv_hold_links
  exit 0
else
  zv_hold_links
  exit 1
fi
