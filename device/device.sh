#!/usr/bin/env bash
# The simulated device: a real OpenSSH server standing in for a jailbroken iPod
# Touch, reachable at 127.0.0.1:22 as root with the password "fennel".
#
# The server runs in private network, mount and process namespaces, so it never
# touches the machine's own network, users or sshd, and several devices can run
# side by side (each has its own loopback). Programs that talk to a device run
# "next to it": in its network namespace (see exec and run below).
#
#   device.sh [--name ID] start [--big] [--real-size] [--apps-relocated] [--link RATE]
#                               [--host-name NAME]
#                                              --link shapes the device's network like
#                                              Wi-Fi: RATE (for example 20mbit) with tc's tbf
#                                              (and 3 ms of netem delay where the kernel has it);
#                                              --host-name: the device's own name (iPod)
#   device.sh [--name ID] stop                 stop and remove everything
#   device.sh [--name ID] status               "running" (exit 0) or "stopped" (exit 3)
#   device.sh [--name ID] exec CMD [ARG...]    run CMD in the device's network namespace
#   device.sh [--name ID] run [--big] [--real-size] [--apps-relocated] [--link RATE] CMD [ARG...]
#                                              start, run CMD next to the device, stop
#   device.sh [--name ID] seed-hostkey HOME    store the device's host key for pscp/plink
#                                              in HOME/.putty/sshhostkeys
#   device.sh [--name ID] shell COMMAND        run COMMAND with the device's /bin/sh as the
#                                              device's root, inside the device tree
#   device.sh [--name ID] tree                 print the host folder holding the device tree
#   device.sh [--name ID] path DEVICE-PATH     print the host path of a device path
#                                              (links resolved inside the device)
#   device.sh [--name ID] reboots              print how often the device was "restarted"
#   device.sh [--name ID] limit DEVICE-PATH KB give the device folder a disk of its own of
#                                              KB kilobytes (its content, owner and mode kept),
#                                              seen by the device alone, until it stops: a
#                                              device whose disk fills
#   device.sh prune                            stop devices that test processes left behind:
#                                              instances named t<pid>-... whose process is gone
#
# Every instance lives in $ZORVANE_DEVICE_BASE/ID (default /var/lib/zorvane-device/
# default): "tree" is the device's file system (sshd's ChrootDirectory; the folder
# and all folders above it are root's and not writable by others, as sshd demands),
# "state" holds the server's configuration, host key, log and the private passwd
# and shadow files. stop removes the instance folder; nothing else is created
# outside the namespaces. The instance name may also come from $ZORVANE_DEVICE;
# $ZORVANE_DEVICE_HOSTKEY may name a host key file to keep across starts.
#
# Needs root (namespaces, chroot, device owners). Exit status 77 means "cannot
# run here" (not root), so test drivers can report a skip.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
name=${ZORVANE_DEVICE:-default}
base=${ZORVANE_DEVICE_BASE:-/var/lib/zorvane-device}
password=fennel
start_timeout=60

die() { echo "device.sh: $*" >&2; exit 1; }

if [ "${1:-}" = --name ]; then
  name=${2:?--name needs a value}
  shift 2
fi
case $name in
  ''|*/*|.|..) die "bad instance name '$name'" ;;
esac
dir=$base/$name
tree=$dir/tree
state=$dir/state

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "device.sh: the simulated device needs root (namespaces, chroot, device owners)" >&2
    exit 77
  fi
}

# pid of the unshare process: it sits in the device's network and mount namespaces.
ns_pid() {
  local pid
  [ -f "$state/ns.pid" ] || return 1
  pid=$(cat "$state/ns.pid")
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
  echo "$pid"
}

is_running() { ns_pid >/dev/null; }

# The key pscp and plink cache is "rsa2@22:127.0.0.1": exponent and modulus in
# hexadecimal, as PuTTY writes them into its sshhostkeys file.
putty_hostkey_line() {
  local text e n
  text=$(ssh-keygen -e -m PEM -f "$state/ssh_host_rsa_key.pub" |
    openssl rsa -pubin -RSAPublicKey_in -noout -text 2>/dev/null)
  e=$(printf '%s\n' "$text" | sed -n 's/^Exponent: *[0-9]* *(0x\([0-9a-f]*\)).*/\1/p')
  n=$(printf '%s\n' "$text" | sed -n '/^Modulus:/,/^Exponent:/p' | sed '1d;$d' | tr -d ' :\n' | sed 's/^0*//')
  [ -n "$e" ] && [ -n "$n" ] || die "cannot read the host key"
  echo "rsa2@22:127.0.0.1 0x$e,0x$n"
}

write_config() {
  mkdir -p "$state"
  chmod 700 "$state"
  # A device keeps its host key across starts when ZORVANE_DEVICE_HOSTKEY names
  # a key file (made on first use); otherwise every start makes a new one.
  local keep=${ZORVANE_DEVICE_HOSTKEY:-}
  if [ -n "$keep" ] && [ -f "$keep" ] && [ -f "$keep.pub" ]; then
    install -m 600 "$keep" "$state/ssh_host_rsa_key"
    install -m 644 "$keep.pub" "$state/ssh_host_rsa_key.pub"
  else
    ssh-keygen -q -t rsa -b 2048 -N '' -C "simulated iPod $name" -f "$state/ssh_host_rsa_key"
    if [ -n "$keep" ]; then
      mkdir -p "$(dirname "$keep")"
      install -m 600 "$state/ssh_host_rsa_key" "$keep"
      install -m 644 "$state/ssh_host_rsa_key.pub" "$keep.pub"
    fi
  fi
  cat >"$state/sshd_config" <<EOF
# Simulated device "$name"
ListenAddress 127.0.0.1:22
HostKey $state/ssh_host_rsa_key
PidFile $state/sshd.pid
PermitRootLogin yes
PasswordAuthentication yes
KbdInteractiveAuthentication no
PubkeyAuthentication no
AuthorizedKeysFile none
PermitEmptyPasswords no
UsePAM no
UseDNS no
ChrootDirectory $tree
# The device's SFTP server behind a one-page pipe (device/sftp-link.c)
Subsystem sftp /usr/libexec/sftp-link
X11Forwarding no
AllowTcpForwarding no
AllowAgentForwarding no
PrintMotd no
PrintLastLog no
MaxStartups 50:30:100
LogLevel VERBOSE
EOF
  # root's entry as on the device: home /var/root, shell /bin/sh inside the tree,
  # password "fennel". These copies cover the real files in the device's mount
  # namespace only.
  local hash
  hash=$(openssl passwd -6 "$password")
  awk -F: -v OFS=: '$1 == "root" { $6 = "/var/root"; $7 = "/bin/sh" } { print }' /etc/passwd >"$state/passwd"
  awk -F: -v OFS=: -v h="$hash" '$1 == "root" { $2 = h } { print }' /etc/shadow >"$state/shadow"
  grep -q '^sshd:' "$state/passwd" ||
    echo 'sshd:x:65533:65534:sshd privilege separation:/run/sshd:/usr/sbin/nologin' >>"$state/passwd"
  grep -q '^sshd:' "$state/shadow" || echo 'sshd:*:19000:0:99999:7:::' >>"$state/shadow"
  chmod 644 "$state/passwd"
  chmod 600 "$state/shadow"
}

# Runs as process 1 of the device's namespaces: sets them up, starts sshd, says
# "ready" (or "failed") on the fifo and then keeps the namespaces alive.
inner() {
  local fifo=$state/ready.fifo
  trap 'echo failed >"$fifo"' ERR
  set -E
  ip link set lo up
  # A link like the device's Wi-Fi (802.11g gives about 20 Mbit/s of payload):
  # every packet between the device and the programs next to it passes a token
  # bucket of that rate. Wi-Fi's packets are Ethernet-sized; loopback's 64 kB
  # packets would not fit the bucket at all. Where the kernel has netem, each
  # packet also waits a few milliseconds, as on the air, before the bucket;
  # without it (these machines' kernels) the bucket alone shapes the link.
  if [ -n "${ZV_LINK_RATE:-}" ]; then
    ip link set lo mtu 1500
    if tc qdisc add dev lo root handle 1: netem delay 3ms 2>/dev/null; then
      tc qdisc add dev lo parent 1:1 handle 10: tbf rate "$ZV_LINK_RATE" burst 32kb latency 100ms
    else
      tc qdisc add dev lo root tbf rate "$ZV_LINK_RATE" burst 32kb latency 100ms
    fi
  fi
  hostname "${ZV_HOST_NAME:-iPod}"
  mount --bind "$state/passwd" /etc/passwd
  mount --bind "$state/shadow" /etc/shadow
  mount -t tmpfs -o mode=755 zorvane-run /run      # privilege separation folder, private
  mkdir -p /run/sshd
  local n
  for n in null zero random urandom tty; do
    mount --bind "/dev/$n" "$tree/dev/$n"
  done
  # sshd listens before it detaches, so its return means the device answers.
  /usr/sbin/sshd -f "$state/sshd_config" -E "$state/sshd.log"
  trap - ERR
  echo ready >"$fifo"
  exec sleep infinity
}

cmd_start() {
  local opts=() link='' host_name=''
  while [ $# -gt 0 ]; do
    case $1 in
      --big|--real-size|--apps-relocated) opts+=("$1") ;;
      --link)
        link=${2:?--link needs a rate such as 20mbit}
        case $link in *[!0-9a-zA-Z.]*) die "bad link rate '$link'" ;; esac
        shift ;;
      --host-name)
        host_name=${2:?--host-name needs a name}
        case $host_name in *[!0-9a-zA-Z-]*) die "bad host name '$host_name'" ;; esac
        shift ;;
      *) die "start: unknown option $1" ;;
    esac
    shift
  done
  need_root
  if is_running; then die "device '$name' is already running"; fi
  [ ! -e "$dir" ] || rm -rf --one-file-system "$dir"
  # One call makes both, so a device stopping meanwhile cannot remove the base
  # folder in between; sshd wants both root's and closed to others.
  mkdir -p "$dir"
  chown root:root "$base" "$dir"
  chmod 755 "$base" "$dir"
  "$here/make-tree.sh" "$tree" "${opts[@]}" >/dev/null
  chown root:root "$tree"
  chmod 755 "$tree"
  write_config
  mkfifo -m 600 "$state/ready.fifo"
  exec 3<>"$state/ready.fifo"
  ZV_LINK_RATE=$link ZV_HOST_NAME=$host_name setsid unshare --net --mount --pid --uts --fork --mount-proc --kill-child \
    "$BASH" "$here/device.sh" --name "$name" __inner </dev/null >>"$state/inner.log" 2>&1 3<&- &
  echo $! >"$state/ns.pid"
  local answer=''
  read -r -t "$start_timeout" -u 3 answer || true
  exec 3<&-
  # stop relies on the saved pid being unshare itself (setsid does not fork
  # here: a script's background job never leads a process group).
  if [ "$answer" = ready ] && [ "$(cat "/proc/$(cat "$state/ns.pid")/comm" 2>/dev/null)" != unshare ]; then
    answer="not unshare"
  fi
  if [ "$answer" != ready ]; then
    cat "$state/inner.log" "$state/sshd.log" >&2 2>/dev/null || true
    cmd_stop >/dev/null 2>&1 || true
    die "device '$name' did not start"
  fi
  echo "device '$name' running: root@127.0.0.1, password $password, tree $tree"
}

cmd_stop() {
  need_root
  local pid
  if pid=$(ns_pid); then
    # Killing the namespaces' first process takes every process of the device
    # (sshd and its sessions) with it; unshare then ends too.
    local init
    for init in $(cat "/proc/$pid/task/$pid/children" 2>/dev/null); do
      kill -KILL "$init" 2>/dev/null || true
    done
    timeout 20 tail -s 0.05 --pid="$pid" -f /dev/null || die "device '$name' did not stop"
  fi
  # The pid file holds sshd's number inside the device; look for it by its configuration.
  local p
  for p in /proc/[0-9]*; do
    if grep -qF "$state/sshd_config" "$p/cmdline" 2>/dev/null; then
      die "a process of device '$name' is still running: ${p#/proc/}"
    fi
  done
  if [ -d "$dir" ]; then
    rm -rf --one-file-system "$dir"
  fi
  rmdir "$base" 2>/dev/null || true
  echo "device '$name' stopped"
}

cmd_exec() {
  need_root
  [ $# -gt 0 ] || die "exec: no command"
  local pid
  pid=$(ns_pid) || die "device '$name' is not running"
  exec nsenter --target "$pid" --net -- "$@"
}

cmd_run() {
  local opts=()
  while [ $# -gt 0 ]; do
    case $1 in
      --big|--real-size|--apps-relocated) opts+=("$1"); shift ;;
      --link|--host-name) opts+=("$1" "${2:?$1 needs a value}"); shift 2 ;;
      *) break ;;
    esac
  done
  [ $# -gt 0 ] || die "run: no command"
  cmd_start "${opts[@]}"
  trap 'cmd_stop >/dev/null' EXIT
  trap 'exit 130' INT TERM
  local pid rc=0
  pid=$(ns_pid)
  nsenter --target "$pid" --net -- "$@" || rc=$?
  return $rc
}

cmd_seed_hostkey() {
  local home=${1:?seed-hostkey: which HOME?}
  is_running || die "device '$name' is not running"
  mkdir -p "$home/.putty"
  local line file=$home/.putty/sshhostkeys
  line=$(putty_hostkey_line)
  touch "$file"
  grep -v '^rsa2@22:127\.0\.0\.1 ' "$file" >"$file.new" || true
  echo "$line" >>"$file.new"
  mv "$file.new" "$file"
}

cmd_shell() {
  need_root
  [ $# -gt 0 ] || die "shell: no command"
  [ -d "$tree" ] || die "device '$name' has no tree"
  cd "$tree"
  exec chroot "$tree" /bin/sh -c "cd / && $*"
}

cmd_path() {
  local p=${1:?path: which device path?} real
  real=$(chroot "$tree" /bin/busybox readlink -f "$p") || die "cannot resolve $p"
  echo "$tree$real"
}

cmd_reboots() {
  local log=$tree/private/var/logs/reboot.log
  if [ -f "$log" ]; then grep -c . "$log" || true; else echo 0; fi
}

cmd_limit() {
  need_root
  local p=${1:?limit: which device folder?} kb=${2:?limit: how many kilobytes?} pid host
  case $kb in ''|*[!0-9]*) die "limit: '$kb' is not a number of kilobytes" ;; esac
  pid=$(ns_pid) || die "device '$name' is not running"
  host=$(cmd_path "$p")
  [ -d "$host" ] || die "limit: $p is not a folder of the device"
  # A small tmpfs over the folder in the device's mount namespace only.
  nsenter --target "$pid" --mount -- /bin/sh -ec '
    d=$1 kb=$2
    keep=$(mktemp -d) owner=$(stat -c %u:%g "$d") mode=$(stat -c %a "$d")
    cp -a "$d/." "$keep/"
    mount -t tmpfs -o "size=${kb}k,mode=$mode" zorvane-small "$d"
    chown "$owner" "$d"
    cp -a "$keep/." "$d/"
    rm -rf "$keep"' sh "$host" "$kb"
}

cmd_prune() {
  need_root
  local d n pid
  for d in "$base"/t*-*; do
    [ -d "$d" ] || continue
    n=${d##*/}
    pid=${n#t}
    pid=${pid%%-*}
    case $pid in ''|*[!0-9]*) continue ;; esac
    [ -d "/proc/$pid" ] && continue
    "$BASH" "$here/device.sh" --name "$n" stop
  done
}

cmd=${1:-}
[ $# -gt 0 ] && shift
case $cmd in
  start) cmd_start "$@" ;;
  stop) cmd_stop ;;
  status) if is_running; then echo running; else echo stopped; exit 3; fi ;;
  exec) cmd_exec "$@" ;;
  run) cmd_run "$@" ;;
  seed-hostkey) cmd_seed_hostkey "$@" ;;
  shell) cmd_shell "$@" ;;
  tree) echo "$tree" ;;
  path) cmd_path "$@" ;;
  reboots) cmd_reboots ;;
  limit) cmd_limit "$@" ;;
  prune) cmd_prune ;;
  __inner) inner ;;
  *) sed -n '2,/^set -e/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
esac
