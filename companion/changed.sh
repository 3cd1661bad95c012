# Backup, run on the device by plink after the last copy and after unhold.sh:
# lists the files again and compares them with the list hold.sh made before
# the first copy. Each file that changed, came or went meanwhile is named,
# and each that changed or came is copied once more, alone, into a folder the
# backup then fetches, with the records of the trees as they are now. Fails
# when it cannot tell what changed.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
zv_changes
