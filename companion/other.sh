# Restore, run on the device by plink as its last step. Puts back the owners
# and modes that the backup recorded (the record came back with /var/root),
# then restarts the device so that it picks up the restored files. A backup
# without a record still gets /var/mobile back for the mobile user.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device." >&2
  exit 1
fi
. /plink.exe
if zv_is_record "$ZV_RECORD"; then
  zv_say "Putting back the owners and modes of your files..."
  tool=$(zv_tool chown1) || exit 1
  sh "$tool" "$ZV_RECORD" Applications /Applications mobile /var/mobile root /var/root
else
  zv_say "This backup holds no owners and modes; giving /var/mobile to the mobile user..."
  [ -d /var/mobile ] && chown -hR "$ZV_MOBILE:$ZV_MOBILE" /var/mobile
fi
zv_say "Restarting your device..."
reboot
