# Backup, run on the device by plink before the first copy. pscp cannot copy a
# link that points at nothing and misplaces what follows it, so every such
# link of /Applications, /var/mobile and /var/root is set aside in a holding
# folder outside them (after putting back what a stopped backup left there);
# unhold.sh puts them back after the last copy. Fails when such a link stays
# in place, whose copy will then fail naming it. Entries that are neither
# files, folders nor links (named pipes, sockets) are set aside the same way,
# and every file is listed with its size and times, so that the backup can
# tell after the copy which files changed while they were copied.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
rc=0
zv_states_before || rc=1
zv_hold_links || rc=1
exit "$rc"
