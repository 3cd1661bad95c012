# Restore, run on the device by plink after the backup was copied back (it is
# also placed in /usr/bin). pscp writes every restored file as root, and Mail
# runs as the mobile user: it could then neither read nor save its accounts and
# mailboxes. Gives the mail folder and the mail settings back to mobile with
# private modes and makes sure the mail folder exists. Changes nothing else.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
mobile=/var/mobile
if [ ! -d "$mobile" ]; then
  zv_say "There is no $mobile on the device; no mail settings to repair."
  exit 0
fi
zv_say "Repairing your mail settings..."
mail=$mobile/Library/Mail
prefs=$mobile/Library/Preferences
# A link among these would carry the owner and mode changes to a folder
# outside the user's data (a restored backup can hold any link): leave it.
for d in "$mobile" "$mobile/Library" "$mail" "$prefs"; do
  if [ -L "$d" ]; then
    zv_say "$d is a link to somewhere else; its owner and mode are left alone."
    exit 0
  fi
done
for d in "$mobile/Library" "$mail"; do
  if [ ! -d "$d" ]; then
    mkdir "$d" && chown "$ZV_MOBILE:$ZV_MOBILE" "$d"
  fi
done
chown -hR "$ZV_MOBILE:$ZV_MOBILE" "$mail" && chmod 700 "$mail" || exit 1
for f in com.apple.mobilemail.plist com.apple.accountsettings.plist; do
  if [ -f "$prefs/$f" ] && [ ! -L "$prefs/$f" ]; then
    chown "$ZV_MOBILE:$ZV_MOBILE" "$prefs/$f" && chmod 600 "$prefs/$f" || exit 1
  fi
done
zv_say "Mail settings repaired."
