# Restore, run on the device by plink as its last step. Puts back the owners
# and modes that the backup recorded (the record came back with /var/root),
# checks the restored trees against the records (every file there with its
# size, owner and mode) and says so in one line that Zorvane reads, then
# restarts the device so that it picks up the restored files. A backup without
# a record still gets /var/mobile back for the mobile user, but cannot be checked.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device." >&2
  exit 1
fi
. /plink.exe
if zv_is_record "$ZV_RECORD"; then
  zv_say "Putting back the owners and modes of your files..."
  tool=$(zv_tool chown1) || exit 1
  sh "$tool" "$ZV_RECORD" Applications /Applications mobile /var/mobile root /var/root
  zv_say "Checking the restored files against the backup..."
  checked=0
  if zv_is_sizes "$ZV_SIZES"; then
    checked=1
    for pair in "Applications /Applications" "mobile /var/mobile" "root /var/root"; do
      zv_check "$ZV_RECORD" "$ZV_SIZES" ${pair% *} ${pair#* } || checked=2
    done
  fi
  case $checked in
  1) zv_say "Zorvane restore check: OK, every file of the backup is on the device with its size, owner and mode." ;;
  2) zv_say "Zorvane restore check: FAILED, the files listed above differ from the backup." ;;
  *) zv_say "Zorvane restore check: NOT POSSIBLE, this backup holds no record of its file sizes." ;;
  esac
else
  zv_say "Zorvane restore check: NOT POSSIBLE, this backup holds no record of its owners and modes."
  zv_say "This backup holds no owners and modes; giving /var/mobile to the mobile user..."
  [ -d /var/mobile ] && chown -hR "$ZV_MOBILE:$ZV_MOBILE" /var/mobile
fi
zv_say "Restarting your device..."
reboot
