#!/usr/bin/env bash
# Builds the file tree of a simulated iPod Touch (firmware 1.1.4, jailbroken,
# OpenSSH installed) in an empty folder. Run as root: the tree keeps the device's
# owners (root 0, mobile 501, admin group 80) and modes.
#
#   make-tree.sh TREE [--apps-relocated] [--big] [--real-size]
#
#   --apps-relocated  the applications live in /var/Applications and /Applications
#                     is a link to it (as after a relocation tool has run)
#   --big             adds a large media library for benchmarks (>= 2,000 files, >= 100 MB)
#   --real-size       adds a media library of a real device's size for benchmarks: about
#                     19,000 files and 1 GB, most of them small (mail, artwork), some large
#                     (songs, videos)
#
# Layout (device paths; /var, /tmp and /etc are relative links into /private as
# on the device, so the tree reads the same from the host):
#   /bin, /sbin, /usr/bin     busybox applets, reboot/halt stand-ins, scp
#   /Applications/*.app       system and jailbreak applications (names with blanks
#                             and non-ASCII letters, a set-uid Installer)
#   /System/Library/Fonts     font cache (Cache/*.ttf)
#   /var/mobile/Library       Mail, Preferences, Lockdown, AddressBook, SMS, ...
#   /var/mobile/Media         DCIM, iTunes_Control, Photos, empty folders
#   /var/root/Library         Lockdown pairing records, Preferences
#   /var/logs/reboot.log      one line per call of the reboot stand-in
# The contents are pseudo-random but fixed: the same tree is built every time.
set -euo pipefail

tree=${1:?usage: make-tree.sh TREE [--apps-relocated] [--big] [--real-size]}
shift
relocated=0 big=0 real=0
for opt in "$@"; do
  case $opt in
    --apps-relocated) relocated=1 ;;
    --big) big=1 ;;
    --real-size) real=1 ;;
    *) echo "make-tree.sh: unknown option $opt" >&2; exit 2 ;;
  esac
done

[ "$(id -u)" -eq 0 ] || { echo "make-tree.sh: must run as root (the tree keeps device owners)" >&2; exit 1; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$tree"
cd "$tree"
[ -z "$(ls -A .)" ] || { echo "make-tree.sh: $tree is not empty" >&2; exit 1; }
umask 022
export LC_ALL=C

MOBILE=501 ADMIN=80

# One pseudo-random stream feeds every file in turn (head takes exactly the
# bytes it is asked for), so the tree is the same on every build and costs one
# encryption process instead of one per file.
exec 5< <(openssl enc -aes-128-ctr -K 5a6f7276616e652d6465766963652d31 \
            -iv 00000000000000000000000000000000 </dev/zero 2>/dev/null)

# blob SIZE: the next SIZE bytes of the stream.
blob() {
  head -c "$1" <&5
}

# file PATH SIZE [MODE]: a file of fixed content. Owners are set for whole
# areas further down.
file() {
  [ -d "${1%/*}" ] || mkdir -p "${1%/*}"
  blob "$2" >"$1"
  [ "${3:-644}" = 644 ] || chmod "$3" "$1"
}

# text PATH [MODE]: a file whose content is read from standard input.
text() {
  [ -d "${1%/*}" ] || mkdir -p "${1%/*}"
  cat >"$1"
  [ "${2:-644}" = 644 ] || chmod "$2" "$1"
}

plist() {
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE plist PUBLIC "-//Apple Computer//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">\n<plist version="1.0">\n<dict>\n'
  while [ $# -ge 2 ]; do
    printf '\t<key>%s</key>\n\t<string>%s</string>\n' "$1" "$2"
    shift 2
  done
  printf '</dict>\n</plist>\n'
}

# --- system: /private with the usual links, userland -------------------------
mkdir -p private/var private/etc
ln -s private/var var
ln -s private/etc etc
ln -s private/var/tmp tmp
mkdir -p bin sbin usr/bin usr/sbin usr/lib usr/libexec dev
mkdir -p var/tmp var/logs var/run var/db var/log
chmod 1777 var/tmp


cp /bin/busybox bin/busybox
# Applets a device-side script may use. Nothing that reaches outside the tree
# (mount, network, reboot, kernel modules) is linked.
for a in sh ash ls cp mv rm ln mkdir rmdir chmod chown chgrp cat echo printf test [ \
         find stat md5sum sha1sum tar awk sed grep egrep sort uniq wc head tail cut tr \
         xargs touch date sleep true false pwd basename dirname readlink realpath du df \
         id whoami env expr seq cmp diff dd sync mkfifo uname hostname ps mktemp tee which \
         gzip gunzip zcat od hexdump less more vi clear; do
  ln -s busybox "bin/$a"
done

# The stand-ins for restarting the device: they only leave a mark.
for cmd in reboot halt shutdown; do
  text "sbin/$cmd" 755 <<EOF
#!/bin/sh
# Stand-in on the simulated device: a real restart would end the test's device.
echo "\$(date '+%Y-%m-%d %H:%M:%S') $cmd \$*" >>/var/logs/reboot.log
echo "Simulated device: $cmd requested (nothing restarted)."
EOF
done
: >var/logs/reboot.log

# scp for clients that copy with the SCP protocol instead of SFTP.
cp /usr/bin/scp usr/bin/scp
for lib in $(ldd /usr/bin/scp | grep -o '/[^ ]*'); do
  mkdir -p ".$(dirname "$lib")"
  cp -L "$lib" ".$lib"
done

# The SFTP server as on the device (/usr/libexec/sftp-server) and the
# subsystem sshd runs, which feeds it one page at a time (sftp-link.c).
mkdir -p usr/libexec
cp /usr/lib/openssh/sftp-server usr/libexec/sftp-server
for lib in $(ldd /usr/lib/openssh/sftp-server | grep -o '/[^ ]*'); do
  [ -e ".$lib" ] || { mkdir -p ".$(dirname "$lib")"; cp -L "$lib" ".$lib"; }
done
cc -O2 -o usr/libexec/sftp-link "$here/sftp-link.c"

for n in null zero random urandom tty; do
  : >"dev/$n"        # mount points; the device binds the host's nodes over them
done

text etc/passwd <<'EOF'
root:x:0:0:System Administrator:/var/root:/bin/sh
mobile:x:501:501:Mobile User:/var/mobile:/bin/sh
daemon:*:1:1:System Services:/var/root:/usr/bin/false
EOF
text etc/group <<'EOF'
wheel:*:0:root
daemon:*:1:root
admin:*:80:root
mobile:*:501:mobile
EOF
text etc/profile <<'EOF'
PATH=/usr/bin:/bin:/usr/sbin:/sbin
export PATH
EOF
text etc/fstab <<'EOF'
/dev/disk0s1 / hfs ro 0 1
/dev/disk0s2 /private/var hfs rw 0 2
EOF

plist ProductName "iPhone OS" ProductVersion 1.1.4 ProductBuildVersion 4A102 |
  text System/Library/CoreServices/SystemVersion.plist

# --- fonts ----------------------------------------------------------------------
for f in Helvetica HelveticaBold Arial ArialBold "Courier New" Georgia TimesNewRoman \
         Verdana AmericanTypewriter MarkerFeltThin HiraginoKakuGothicProNW3 \
         LockClock PhonepadTwo; do
  file "System/Library/Fonts/Cache/$f.ttf" $((40000 + ${#f} * 9000))
done

# --- applications ---------------------------------------------------------------
app() { # app NAME EXECUTABLE SIZE
  local dir="Applications/$1.app"
  plist CFBundleExecutable "$2" CFBundleIdentifier "com.example.$2" CFBundleName "$1" |
    text "$dir/Info.plist" 664
  file "$dir/$2" "$3" 775
  file "$dir/icon.png" 3100 664
  file "$dir/Default.png" 9200 664
  printf '"OK" = "OK";\n' | text "$dir/English.lproj/Localizable.strings" 664
}
app MobileSafari MobileSafari 420000
app MobileMail MobileMail 380000
app MobileSMS MobileSMS 150000
app MobileAddressBook MobileAddressBook 120000
app Preferences Preferences 260000
app MobileMusicPlayer MobileMusicPlayer 310000
app Installer Installer 230000
app BossPrefs BossPrefs 90000
app "Term-vt100" Term-vt100 110000
app "Sketch Pad" SketchPad 70000
app "Wörterbuch Café" Woerterbuch 85000
mkdir -p "Applications/Installer.app/Sources"       # empty folder inside an app
chown -R 0:$ADMIN Applications
find Applications -type d -exec chmod 775 {} +
chmod 4755 Applications/Installer.app/Installer     # the jailbreak installer runs set-uid root

# --- /var/root --------------------------------------------------------------------
mkdir -p var/root/Media
plist DeviceCertificate MIIC-device HostID 7D1F0C2A-3B44-4C5E-9A61-0F3F1B2C4D5E |
  text var/root/Library/Lockdown/data_ark.plist 600
file var/root/Library/Lockdown/device_private_key.pem 1675 600
file var/root/Library/Lockdown/pair_records/7D1F0C2A-3B44-4C5E-9A61-0F3F1B2C4D5E.plist 2900 600
chmod 700 var/root/Library/Lockdown var/root/Library/Lockdown/pair_records
plist SBShowRSSI YES | text var/root/Library/Preferences/com.apple.springboard.plist
printf 'export PS1="iPod:\\w root# "\n' | text var/root/.profile

# --- /var/mobile ---------------------------------------------------------------------
L=var/mobile/Library
mkdir -p $L/Caches $L/Logs/CrashReporter $L/Maps
plist MailAccounts "POP-jane@pop.example.com,IMAP-joe@imap.example.org" SignatureText "Sent from my iPod" |
  text $L/Preferences/com.apple.mobilemail.plist 600
plist Accounts 2 | text $L/Preferences/com.apple.accountsettings.plist 600
plist AppleLanguages "de en" AppleLocale de_DE | text $L/Preferences/.GlobalPreferences.plist
plist SBWallpaper "Hintergrund Grün" | text $L/Preferences/com.apple.springboard.plist
plist WebKitJavaScriptEnabled YES | text $L/Preferences/com.apple.mobilesafari.plist
plist BatteryPercent YES | text $L/Preferences/com.bosstool.prefs.plist
file "$L/Mail/Envelope Index" 98304
mb="$L/Mail/POP-jane@pop.example.com/INBOX.mbox/Messages"
for i in 1 2 3 4 5 6; do
  { printf 'From: Tante Käthe <kaethe@example.de>\nSubject: Grüße %s\n\n' "$i"
    blob 2000 | od -An -tx1; } | text "$mb/$i.emlx"
done
mkdir -p "$L/Mail/POP-jane@pop.example.com/Sent Messages.mbox"
printf 'Subject: draft\n\nunfinished\n' | text "$L/Mail/IMAP-joe@imap.example.org/Drafts.imapmbox/1.emlx"
file $L/AddressBook/AddressBook.sqlitedb 65536
file $L/AddressBook/AddressBookImages.sqlitedb 40960
file $L/SMS/sms.db 49152
file $L/Calendar/Calendar.sqlitedb 36864
file $L/Notes/notes.db 20480
file $L/Safari/Bookmarks.plist 5200
file $L/Safari/History.plist 8100
file $L/Cookies/Cookies.plist 3000 600
file $L/Keyboard/dynamic-text.dat 12000
plist HostID 7D1F0C2A | text $L/Lockdown/pair_records.plist 600
M=var/mobile/Media
mkdir -p $M/Recordings $M/Podcasts
for i in 1 2 3 4 5; do
  file "$M/DCIM/100APPLE/IMG_000$i.JPG" $((60000 + i * 7000))
done
file "$M/Fotos für Oma/Strand à Nice.jpg" 45000
file "$M/Photos/Thumbs/Photo Library.ithmb" 120000
file "$M/iTunes_Control/Music/F00/ABCD.mp3" 700000
file "$M/iTunes_Control/Music/F01/Déjà Vu.m4a" 520000
file "$M/iTunes_Control/iTunes/iTunesDB" 30000

if [ "$big" = 1 ]; then
  # 2,400 photos of 48 KiB and 16 songs of 1.5 MiB: about 137 MB in 2,416 files.
  mkdir -p "$M/DCIM/101APPLE"
  blob $((2400 * 49152)) |
    (cd "$M/DCIM/101APPLE" && split -b 49152 -a 4 -d --additional-suffix=.JPG - IMG_)
  for i in $(seq -w 1 16); do
    file "$M/iTunes_Control/Music/F02/Song $i.mp3" 1572864
  done
fi

if [ "$real" = 1 ]; then
  # group FOLDER COUNT SIZE SUFFIX: COUNT files of SIZE bytes, cut from one blob
  # (one process per group, not per file).
  group() {
    mkdir -p "$1"
    blob $(($2 * $3)) | (cd "$1" && split -b "$3" -a 4 -d --additional-suffix="$4" - "${5:-}")
  }
  # Photos: 3,000 of 40 to 175 kB (about 320 MB).
  for i in 0 1 2 3 4 5 6 7 8 9; do
    group "$M/DCIM/11${i}APPLE" 300 $((40960 + i * 15360)) .JPG IMG_
  done
  # Artwork and thumbnails: 10,000 of 1 to 20 kB (about 105 MB).
  for i in $(seq 1 20); do
    group "$M/iTunes_Control/Artwork/F$i" 500 $((i * 1024)) .art
  done
  # Mail: 5,000 messages of 0.5 to 5 kB (about 14 MB).
  for i in 1 2 3 4 5 6 7 8 9 10; do
    group "$L/Mail/IMAP-joe@imap.example.org/INBOX.imapmbox/Messages/$i" 500 $((i * 500)) .emlx
  done
  # Text message attachments: 1,000 of 30 kB.
  group "$L/SMS/Attachments" 1000 30720 .jpg
  # Songs: 120 of 3 to 5.8 MB (about 530 MB); videos: 3 of 15 MB.
  for i in $(seq -w 1 120); do
    file "$M/iTunes_Control/Music/F1$((10#$i % 10))/Lied $i – Künstler.mp3" $((3145728 + (10#$i % 5) * 716800))
  done
  for i in 1 2 3; do
    file "$M/Videos/Clip $i.m4v" 15728640
  done
fi

chown -R $MOBILE:$MOBILE var/mobile
chown 0:0 $L/Preferences/com.bosstool.prefs.plist   # left behind by a root tool
chmod 700 $L/Mail $L/Lockdown

if [ "$relocated" = 1 ]; then
  mv Applications private/var/Applications
  ln -s /var/Applications Applications
fi
