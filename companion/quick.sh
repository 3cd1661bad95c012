# Backup that copies only what changed, run on the device by plink: sends the
# files the program asked for (/private/var/zorvane-changed/fetch.lst) in one
# tar stream on its output, links followed as a copy follows them. Exits 3,
# having sent nothing, when the device's tools cannot do that.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so nothing was sent. Run the job again." >&2
  exit 1
fi
. /plink.exe
zv_quick_send
