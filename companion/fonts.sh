# Fonts relocation, run on the device by plink. Moves /System/Library/Fonts to
# /var/Fonts, where there is room, and links it back: the folder is copied, the
# copy verified, and only then is the original replaced by the link. Nothing
# happens when the fonts folder already is a link.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
# A backup stopped while it held the links that point at nothing puts them back first.
zv_put_back_held
zv_clear_changed
zv_relocate /System/Library/Fonts /var/Fonts
