# Restore, run on the device by plink as its last step. Makes the backup's
# links again where the copy put files or folders in their place, puts back
# the owners and modes that the backup recorded (the records came back with
# /var/root), checks the restored trees against the records (every file there
# with its size, owner and mode, every link with its target) and says so in
# one line that Zorvane reads, then restarts the device so that it picks up
# the restored files; a device whose restored files differ from the backup is
# left running as it is, for the restore to be run again. A backup without a record still gets /var/mobile back
# for the mobile user, but cannot be checked; one without a links list keeps
# its links as the copies that came back.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
# The run's token that the restore sent (hex digits only): each verdict line
# ends with it, so Zorvane reads the verdict of this check and of no file name.
run=$(head -c 64 /RestoreRun.txt 2>/dev/null | tr -cd '0-9a-f')
rm -f /RestoreRun.txt
verdict() { zv_say "Zorvane restore check: $* (check $run)"; }
# Entries whose names pscp would cut came apart with this run: in place first.
names=/var/root/Library/Zorvane/names-$run
[ -n "$run" ] && [ -f "$names/names.sh" ] && sh "$names/names.sh" "$names"
rm -rf /var/root/Library/Zorvane/names-*
if zv_list_whole "$ZV_RECORD" "$ZV_RECORD_HEADER"; then
  # links: 1 a whole list, 2 a list that is not whole, 0 none (an older backup).
  links=0 listed=''
  if [ -e "$ZV_LINKS" ] || [ -L "$ZV_LINKS" ]; then
    links=2
    # Whole first: only then is a line of it read to see whose it is. A list
    # left by the restore of another backup is not this backup's.
    if zv_list_whole "$ZV_LINKS" "$ZV_LINKS_HEADER"; then
      if zv_same_backup "$ZV_LINKS" "$ZV_RECORD"; then
        links=1 listed=$ZV_LINKS
      else
        zv_say "The links list on the device is not this backup's; it is not used."
        rm -f "$ZV_LINKS"
        links=0
      fi
    fi
  fi
  if [ "$links" = 1 ]; then
    zv_say "Making the links among your files again..."
    zv_put_links "$ZV_LINKS" Applications /Applications mobile /var/mobile root /var/root
  elif [ "$links" = 0 ]; then
    n=$(grep -c '^[0-9]* [0-9]* [0-7]* l ' "$ZV_RECORD")
    [ "${n:-0}" -gt 0 ] &&
      zv_say "This backup did not record where its $n links point: they came back as the files or folders they pointed at, or not at all."
  fi
  # The named pipes the backup set aside, made again before the owners are applied.
  if [ -f "$ZV_SPECIALS" ]; then
    zv_make_specials "$ZV_SPECIALS" Applications /Applications mobile /var/mobile root /var/root
    rm -f "$ZV_SPECIALS"
  fi
  zv_say "Putting back the owners and modes of your files..."
  tool=$(zv_tool chown1) || exit 1
  sh "$tool" "$ZV_RECORD" Applications /Applications mobile /var/mobile root /var/root
  zv_say "Checking the restored files against the backup..."
  checked=0
  if zv_list_whole "$ZV_SIZES" "$ZV_SIZES_HEADER"; then
    checked=1
    for pair in "Applications /Applications" "mobile /var/mobile" "root /var/root"; do
      zv_check "$ZV_RECORD" "$ZV_SIZES" ${pair% *} ${pair#* } ${listed:+"$listed"} || checked=2
    done
    [ "$checked$links" = 12 ] && checked=3
  fi
  case $checked in
  1) verdict "OK, every file of the backup is on the device with its size, owner and mode." ;;
  2) verdict "FAILED, the files listed above differ from the backup." ;;
  3) verdict "NOT POSSIBLE, the list of the backup's links is not whole." ;;
  *) verdict "NOT POSSIBLE, the record of the backup's file sizes is missing or not whole." ;;
  esac
else
  verdict "NOT POSSIBLE, the record of the backup's owners and modes is missing or not whole."
  zv_say "Without a whole record of owners and modes, /var/mobile goes to the mobile user..."
  [ -d /var/mobile ] && chown -hR "$ZV_MOBILE:$ZV_MOBILE" /var/mobile
fi
if [ "${checked:-0}" = 2 ]; then
  zv_say "Your device has NOT been restarted: the files listed above differ from the backup. Do not restart it yet: run the restore again."
  exit 1
fi
zv_say "Restarting your device..."
reboot
