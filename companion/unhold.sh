# Backup, run on the device by plink right after the last copy: puts back the
# links that point at nothing which hold.sh set aside, never over anything
# that lies at their place now. Fails, saying where, when one stays held.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
zv_put_back_held
