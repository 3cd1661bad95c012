# Backup, run on the device by plink after /var/mobile and /var/root were
# fetched. The owners and modes record and the lists beside it are in the
# backup now; remove them from the device so that the backup leaves the device
# as it found it.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
if zv_is_record "$ZV_RECORD"; then
  rm -f "$ZV_RECORD" "$ZV_SIZES" "$ZV_LINKS" "$ZV_DEVICE"
  rm -f "$ZV_SPECIALS"
  rmdir "${ZV_RECORD%/*}" 2>/dev/null
fi
# The list of entries hold.sh made for a later quick repeat.
rm -f "$ZV_STATES"
rmdir "${ZV_STATES%/*}" 2>/dev/null
zv_clear_changed
zv_say "The device's part of the backup is done."
