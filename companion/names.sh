# Zorvane device step of a restore: sh names.sh FOLDER
#
# pscp sends a name by what follows its last backslash, so the restore sent
# the backup's entries whose names hold one again, apart, into FOLDER under
# plain numbers (the trees themselves brought them under the cut names).
# other.sh runs this before the owners and modes go back. FOLDER/names.txt,
# written by Zorvane's StageNames, says what to do, one line each, in order:
#   R PATH     a name pscp made that belongs to nothing: removed
#   K N PATH   a file of the backup that such a name may have overwritten: N put back
#   M N PATH   entry N (a file or a folder) put in place under its own name
# The list begins with "# Zorvane names 1" and ends with "# end COUNT". PATH
# is the tree's name in the backup ("Applications", "mobile", "root") and the
# path inside it, with "\" written "\\" and each control character as "\0"
# and three octal digits. A path with an empty, "." or ".." part, outside the
# three trees, or below a link is refused, as is a list that is not whole.
# FOLDER goes at the end.
if [ ! -f /plink.exe ]; then
  echo "ERROR: /plink.exe is missing on the device (its copy failed), so this step changed nothing. Run the job again." >&2
  exit 1
fi
. /plink.exe
dir=$1
list=$dir/names.txt
if [ ! -d "$dir" ] || [ -L "$dir" ]; then
  zv_fail "$dir is not a folder on the device."
  exit 1
fi
zv_list_whole "$list" '# Zorvane names 1' || exit 1

# zn_decode TEXT: sets zn_path to the path TEXT stands for.
zn_decode() {
  zn_path=$(printf '%bx' "$1") || return 1
  zn_path=${zn_path%x}
}

# zn_place PATH: sets zn_at to where the list's PATH lies on the device, when
# every folder on the way inside its tree is a real folder (no link).
zn_place() {
  case "/$1/" in */../* | */./* | *//*) return 1 ;; esac
  _rest=${1#*/}
  [ "$_rest" != "$1" ] || return 1
  case ${1%%/*} in
  Applications) zn_at=/Applications ;;
  mobile) zn_at=/var/mobile ;;
  root) zn_at=/var/root ;;
  *) return 1 ;;
  esac
  zn_at=$(cd -P "$zn_at" 2>/dev/null && pwd -P) || return 1
  while :; do
    case $_rest in */*) ;; *) break ;; esac
    zn_at=$zn_at/${_rest%%/*}
    _rest=${_rest#*/}
    [ -d "$zn_at" ] && [ ! -L "$zn_at" ] || return 1
  done
  zn_at=$zn_at/$_rest
}

# zn_failed TEXT PATH: says what could not be done, the path as one line.
zn_failed() {
  zv_say "  $1: $(printf '%s' "$2" | tr '\000-\037\177' '?')"
  failed=$((failed + 1))
}

# Where the device's mv has -T, it never moves into a folder at the target.
zn_no_target=
mkdir "$dir/.mvT" 2>/dev/null && mv -fT "$dir/.mvT" "$dir/.mvT2" 2>/dev/null && zn_no_target=-T
rm -rf "$dir/.mvT" "$dir/.mvT2"

zv_say "Putting the entries with a backslash in their names in place..."
removed=0 placed=0 failed=0
while IFS= read -r line; do
  case $line in '#'*) continue ;; esac
  kind=${line%% *} rest=${line#* } item=
  case $kind in
  R) ;;
  K | M)
    item=${rest%% *} rest=${rest#* }
    case $item in '' | *[!0-9]*) item= ;; *) item=$dir/$item ;; esac
    ;;
  *) kind= ;;
  esac
  if [ -z "$kind" ] || ! zn_decode "$rest"; then
    zn_failed "unreadable line" "$line"
    continue
  fi
  if ! zn_place "$zn_path"; then
    zn_failed "refused (outside its tree or below a link)" "$zn_path"
    continue
  fi
  if [ "$kind" = R ]; then
    if rm -rf "$zn_at"; then
      removed=$((removed + 1))
    else
      zn_failed "could not remove" "$zn_at"
    fi
    continue
  fi
  if [ -z "$item" ] || [ -L "$item" ] || [ ! -e "$item" ]; then
    zn_failed "missing from what was sent" "$zn_path"
    continue
  fi
  # Whatever lies under the name now came from an earlier restore or from
  # pscp; a folder in a file's place is left alone.
  if [ "$kind" = K ] && [ -d "$zn_at" ] && [ ! -L "$zn_at" ]; then
    zn_failed "a folder lies where this file belongs" "$zn_at"
    continue
  fi
  if [ "$kind" = M ] && { [ -e "$zn_at" ] || [ -L "$zn_at" ]; }; then
    rm -rf "$zn_at"
  fi
  # A link in the entry's place goes first: mv would follow a link to a
  # folder and put the entry into that folder, outside the tree.
  if [ -L "$zn_at" ] && ! rm -f "$zn_at"; then
    zn_failed "could not remove the link in its place" "$zn_at"
    continue
  fi
  if [ -d "$zn_at" ]; then
    zn_failed "a folder lies where this entry belongs" "$zn_at"
    continue
  fi
  if mv -f $zn_no_target "$item" "$zn_at"; then
    placed=$((placed + 1))
  else
    zn_failed "could not put in place" "$zn_at"
  fi
done <"$list"
rm -rf "$dir"
zv_say "$placed entries put in place, $removed names that pscp made removed, $failed failed."
[ "$failed" -eq 0 ]
