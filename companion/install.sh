# Restore, run on the device by plink before the backup is copied back. Makes
# the helper tools runnable, makes sure the folders the restore copies into are
# there, and moves the fonts to /var to make room for the applications on the
# system partition (the same move the fonts relocation job makes).
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
# A backup stopped while it held the links that point at nothing puts them back first.
zv_put_back_held
zv_clear_changed
zv_say "Preparing your device for the restore..."
for t in cp chown chown1; do
  path=$(zv_tool "$t") && chmod 755 "$path"
done
mkdir -p /usr/bin /var /var/root/Library/Zorvane
# The applications are copied into /Applications. On a device whose
# applications were moved to /var that is a link; if its folder is gone (a
# fresh /var), make it so that the applications land there again.
cd / || exit 1
if [ -L /Applications ] && [ ! -e /Applications ]; then
  target=$(readlink /Applications)
  zv_say "Making the missing folder $target for your applications..."
  mkdir -p "$target" && chown 0:80 "$target" && chmod 775 "$target"
elif [ ! -e /Applications ]; then
  mkdir /Applications && chown 0:80 /Applications && chmod 775 /Applications
fi
zv_relocate /System/Library/Fonts /var/Fonts ||
  zv_say "Your fonts stay where they are; the restore goes on."
exit 0
