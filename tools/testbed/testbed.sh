#!/usr/bin/env bash
# testbed.sh - private, self-contained print and scan service for tests and the demo.
#
#   testbed.sh start DIR        start everything in the background, return when ready
#                               (a bed left running in DIR is stopped first)
#   testbed.sh stop  DIR        stop exactly the PIDs recorded under DIR/run/
#   testbed.sh exec  DIR CMD..  run CMD inside the test bed's net+mount namespace
#   testbed.sh run   DIR CMD..  run CMD with the bed's environment inside its namespace
#                               when the bed is up, or plainly when it is not (test launcher:
#                               listing test cases at build time needs no bed)
#   testbed.sh up    DIR        exit status 0 when the bed in DIR is running
#
# What runs (all state under DIR; nothing written to /etc, /var or the host's /run):
#   dbus-daemon   private "system" bus (ippeveprinter will not start without one)
#   avahi-daemon  mDNS on the namespace's lo (+ veth to the remote host)  [TB_NETNS=1]
#   cupsd         127.0.0.1:$TB_CUPS_PORT and DIR/run/cups.sock
#   ippeveprinter "TestBed Printer", localhost:$TB_IPPEVE_PORT (DNS-SD on lo), healthy
#   ippeveprinter "Problem Printer", localhost:$TB_PROBLEM_PORT: tests empty its paper
#                 or toner through its web interface (see problem_url in env.sh)
#   queues        Test_printer (-> TestBed Printer, default), Problem_printer,
#                 Dead_printer (-> closed port)
#   SANE          DIR/sane: SANE_CONFIG_DIR enabling only the "test" backend
#   remote host   [TB_REMOTE=1, default with TB_NETNS=1] 2nd namespace "remote-printer.local" (169.254.10.2)
#                 with its own dbus+avahi+ippeveprinter "Remote Printer", joined by
#                 a veth pair; seen by the bed's avahi as a real network printer.
#
# Knobs: TB_NETNS=1|0   1 = own net+mount namespace (needs root; required for DNS-SD)
#        TB_REMOTE=1|0  also start the remote printer host (needs TB_NETNS=1)
#        TB_CUPS_PORT=8631 TB_IPPEVE_PORT=8632 TB_PROBLEM_PORT=8633 TB_DEAD_PORT=8639
#        TB_PRIME=0|1   send one job first, so that cupsd itself knows marker levels
#        TB_MAX_JOBS=20000  jobs cupsd retains (0: no limit); more than the 500 that
#                       it answers with details, so that tests can go past that
# Clients: source DIR/env.sh. CUPS_SERVER=DIR/run/cups.sock works from the host
# namespace too; anything that connects to a printer itself (or to 127.0.0.1:8631)
# must run inside: testbed.sh exec DIR ./tests
set -euo pipefail
# The daemons and admin tools live in sbin, which a non-login root shell may not list.
PATH=$PATH:/usr/sbin:/sbin

cmd=${1:-}; TB=${2:-}
[ -n "$cmd" ] && [ -n "$TB" ] || { sed -n '2,35p' "$0" >&2; exit 2; }
TB=$(realpath -m "$TB")
HERE=$(cd "$(dirname "$0")" && pwd)

NETNS=${TB_NETNS:-1}
REMOTE=${TB_REMOTE:-$NETNS}
CUPS_PORT=${TB_CUPS_PORT:-8631}
IPPEVE_PORT=${TB_IPPEVE_PORT:-8632}
PROBLEM_PORT=${TB_PROBLEM_PORT:-8633}
DEAD_PORT=${TB_DEAD_PORT:-8639}
PRIME=${TB_PRIME:-0}
REMOTE_IP=169.254.10.2   # link-local, exists only inside the two namespaces
BED_IP=169.254.10.1

now_ms() { date +%s%3N; }
T0=$(now_ms)
step() { echo "testbed: $(( $(now_ms) - T0 )) ms  $*" >&2; }
die()  { echo "testbed: ERROR: $*" >&2; exit 1; }

# wait_for TIMEOUT_MS CMD... : poll CMD every 20 ms until it succeeds
wait_for() {
  local deadline=$(( $(now_ms) + $1 )); shift
  until "$@" >/dev/null 2>&1; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

nspid() { cat "$TB/run/${1:-netns}.pid" 2>/dev/null || true; }
# in_ns CMD... : run CMD in the bed's namespaces (directly when TB_NETNS=0)
in_ns() {
  local p; p=$(nspid)
  if [ -n "$p" ]; then nsenter -t "$p" -n -m --wd="$PWD" -- "$@"; else "$@"; fi
}
# start_bg NS NAME CMD... : run a foreground-mode daemon in the background in
# namespace NS (netns | remote-netns), record its PID. nsenter execs CMD after
# setns, so $! is the daemon's own PID.
start_bg() {
  local p name=$2; p=$(nspid "$1"); shift 2
  if [ -n "$p" ]; then
    nsenter -t "$p" -n -m -- "$@" >"$TB/log/$name.out" 2>&1 </dev/null &
  else
    "$@" >"$TB/log/$name.out" 2>&1 </dev/null &
  fi
  echo $! >"$TB/run/$name.pid"
}
# running PID: alive and not a zombie (daemons outlive 'start' and get
# re-parented to PID 1, which may reap them late, so kill -0 is not enough)
running() { local st; st=$(ps -o stat= -p "$1" 2>/dev/null) && [ -n "$st" ] && [ "${st#Z}" = "$st" ]; }

# 'lpstat -r' exits 0 even when it prints "scheduler is not running"
cups_ready() { lpstat -h "$CUPS_SERVER" -r 2>/dev/null | grep -qx 'scheduler is running'; }

dbus_conf() {  # $1 = socket path
  cat <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_type="method_return"/>
    <allow send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="signal"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
  </policy>
</busconfig>
EOF
}

avahi_conf() {  # $1 = host name, $2 = interfaces
  cat <<EOF
[server]
host-name=$1
domain-name=local
use-ipv4=yes
use-ipv6=no
allow-interfaces=$2
enable-dbus=yes
ratelimit-interval-usec=1000000
ratelimit-burst=1000
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
EOF
}

write_configs() {
  mkdir -p "$TB"/{etc,spool/tmp,log,cache,state,run,client,files,sane}
  mkdir -p "$TB"/ippeve/{spool,ssl} "$TB"/problem/{spool,ssl}
  # cupsd runs filters as 'lp': every directory on the path must be traversable.
  chmod 755 "$TB"

  cat >"$TB/etc/cups-files.conf" <<EOF
ServerRoot $TB/etc
StateDir $TB/state
CacheDir $TB/cache
RequestRoot $TB/spool
TempDir $TB/spool/tmp
AccessLog $TB/log/access_log
ErrorLog $TB/log/error_log
PageLog $TB/log/page_log
Printcap $TB/run/printcap
ServerKeychain $TB/etc/ssl
CreateSelfSignedCerts no
User lp
Group lp
SystemGroup root
PassEnv DBUS_SYSTEM_BUS_ADDRESS
EOF

  cat >"$TB/etc/cupsd.conf" <<EOF
Listen 127.0.0.1:$CUPS_PORT
Listen $TB/run/cups.sock
LogLevel debug
MaxLogSize 0
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultEncryption Never
DefaultAuthType Basic
ErrorPolicy abort-job
PreserveJobHistory Yes
MaxJobs ${TB_MAX_JOBS:-20000}
PreserveJobFiles ${TB_PRESERVE_JOB_FILES:-Yes}
# Same shape as Debian's default policy: admin operations need @SYSTEM (root
# over the domain socket via PeerCred, or root over TCP via the local
# certificate in StateDir/certs - clients must export CUPS_STATEDIR for that).
# Without any <Location> cupsd never accepts PeerCred/local-cert auth.
<Location />
  Order allow,deny
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit Create-Job Print-Job Print-URI Validate-Job>
    Order deny,allow
  </Limit>
  <Limit Send-Document Send-URI Hold-Job Release-Job Restart-Job Purge-Jobs Set-Job-Attributes Create-Job-Subscription Renew-Subscription Cancel-Subscription Get-Notifications Reprocess-Job Cancel-Current-Job Suspend-Current-Job Resume-Job Cancel-My-Jobs Close-Job CUPS-Move-Job CUPS-Get-Document>
    Require user @OWNER @SYSTEM
    Order deny,allow
  </Limit>
  <Limit CUPS-Add-Modify-Printer CUPS-Delete-Printer CUPS-Add-Modify-Class CUPS-Delete-Class CUPS-Set-Default CUPS-Get-Devices Pause-Printer Resume-Printer Enable-Printer Disable-Printer Pause-Printer-After-Current-Job Hold-New-Jobs Release-Held-New-Jobs Deactivate-Printer Activate-Printer Restart-Printer Shutdown-Printer Startup-Printer Promote-Job Schedule-Job-After Cancel-Jobs CUPS-Accept-Jobs CUPS-Reject-Jobs>
    AuthType Default
    Require user @SYSTEM
    Order deny,allow
  </Limit>
  <Limit Cancel-Job CUPS-Authenticate-Job>
    Require user @OWNER @SYSTEM
    Order deny,allow
  </Limit>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

  dbus_conf "$TB/run/dbus-system.sock" >"$TB/dbus.conf"
  avahi_conf cups-testbed "lo$([ "$REMOTE" = 1 ] && echo ,tbA)" >"$TB/avahi-daemon.conf"
  cp "$HERE/test.pdf" "$HERE/test.txt" "$TB/files/"
  for p in ippeve problem; do
    cp "$HERE/ippeve-command.sh" "$TB/$p/command.sh"
    chmod 755 "$TB/$p/command.sh"
  done
  touch "$TB/problem/no-markers"
  # SANE's test backend only; a colour pattern makes demo scans look like something.
  echo test >"$TB/sane/dll.conf"
  printf 'number_of_devices 2\ntest-picture "Color pattern"\n' >"$TB/sane/test.conf"

  cat >"$TB/env.sh" <<EOF
export TB_DIR=$TB
export CUPS_SERVER=$TB/run/cups.sock
export CUPS_STATEDIR=$TB/state
export CUPS_SERVERROOT=$TB/client
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$TB/run/dbus-system.sock
export TB_CUPS_TCP=127.0.0.1:$CUPS_PORT
export TB_IPPEVE_URI=ipp://localhost:$IPPEVE_PORT/ipp/print
export TB_PROBLEM_URI=ipp://localhost:$PROBLEM_PORT/ipp/print
export TB_PROBLEM_WEB=https://localhost:$PROBLEM_PORT
export SANE_CONFIG_DIR=$TB/sane
export TB_DEAD_URI=ipp://localhost:$DEAD_PORT/ipp/print?contimeout=3
export TB_NETNS=$NETNS
export TB_REMOTE=$REMOTE
EOF
}

# new_netns NAME : fresh net+mount namespace kept alive by 'sleep infinity';
# records the holder (unshare) and the child (the namespace's PID).
new_netns() {
  local holder child="" me; me=$(readlink /proc/self/ns/net)
  unshare --net --mount --propagation private --kill-child -- sleep infinity </dev/null >/dev/null 2>&1 &
  holder=$!; echo "$holder" >"$TB/run/$1-holder.pid"
  wait_for 2000 sh -c "ps -o pid= --ppid $holder | grep -q ." || die "$1: holder did not fork"
  child=$(ps -o pid= --ppid "$holder" | tr -d ' ')
  wait_for 2000 sh -c "[ \"\$(readlink /proc/$child/ns/net)\" != '$me' ]" || die "$1: not entered"
  echo "$child" >"$TB/run/$1.pid"
  # lo needs MULTICAST for avahi. A private tmpfs on /run gives avahi its
  # /run/avahi-daemon and tools their /run/dbus/system_bus_socket without
  # touching the host's /run (the mount exists only in this namespace).
  # LIBMOUNT_UTAB: keep mount(8)'s bookkeeping out of the host's /run/mount.
  # The users' runtime folders (/run/user: Wayland and session-bus sockets, X authority)
  # stay visible, so a program run in the bed still reaches the desktop.
  LIBMOUNT_UTAB=$TB/run/utab nsenter -t "$child" -n -m -- sh -ec "
    ip link set lo up
    ip link set lo multicast on
    keep=''
    if [ -d /run/user ]; then
      keep=$TB/run/$1-user; mkdir -p \$keep; mount --rbind /run/user \$keep
    fi
    mount -t tmpfs -o mode=755 tmpfs /run
    mkdir -p /run/avahi-daemon /run/dbus
    ln -s $2 /run/dbus/system_bus_socket
    if [ -n \"\$keep\" ]; then mkdir -p /run/user; mount --move \$keep /run/user; fi"
}

start_remote() {
  local R=$TB/remote A B
  mkdir -p "$R"/{run,ippeve/spool,ippeve/ssl}
  dbus_conf "$R/run/dbus.sock" >"$R/dbus.conf"
  avahi_conf remote-printer tbB >"$R/avahi-daemon.conf"
  cp "$HERE/ippeve-command.sh" "$R/ippeve/command.sh"; chmod 755 "$R/ippeve/command.sh"
  new_netns remote-netns "$R/run/dbus.sock"
  A=$(nspid netns); B=$(nspid remote-netns)
  nsenter -t "$A" -n -- ip link add tbA type veth peer name tbB
  nsenter -t "$A" -n -- ip link set tbB netns "$B"
  nsenter -t "$A" -n -- sh -ec "ip addr add $BED_IP/16 dev tbA; ip link set tbA up"
  nsenter -t "$B" -n -- sh -ec "ip addr add $REMOTE_IP/16 dev tbB; ip link set tbB up"
  echo "$REMOTE_IP remote-printer.local" >>"$TB/hosts"

  DBUS_SYSTEM_BUS_ADDRESS=unix:path=$R/run/dbus.sock start_bg remote-netns rdbus \
    dbus-daemon --config-file="$R/dbus.conf" --nofork --nopidfile
  wait_for 3000 test -S "$R/run/dbus.sock" || die "remote dbus did not start"
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$R/run/dbus.sock
  start_bg remote-netns ravahi avahi-daemon -f "$R/avahi-daemon.conf" --no-drop-root --no-chroot --no-rlimits --no-proc-title
  # wildcard listen is fine here: this namespace has only lo and tbB
  start_bg remote-netns rippeve ippeveprinter -2 -p "$IPPEVE_PORT" \
      -d "$R/ippeve/spool" -K "$R/ippeve/ssl" -c "$R/ippeve/command.sh" \
      -f application/pdf,image/pwg-raster,image/urf \
      -M Remote -m "Networked IPP Everywhere" -l "Second floor" "Remote Printer"
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$TB/run/dbus-system.sock
  echo "export TB_REMOTE_URI=ipp://remote-printer.local:$IPPEVE_PORT/ipp/print" >>"$TB/env.sh"
}

do_start() {
  [ "$(id -u)" = 0 ] || die "must run as root (cupsd drops to lp; namespaces need CAP_SYS_ADMIN)"
  # A bed left behind by an interrupted run is ours to stop: only its recorded PIDs go.
  if [ -e "$TB/run/cupsd.pid" ] || [ -e "$TB/run/netns.pid" ]; then
    echo "testbed: stopping the bed left running in $TB" >&2
    do_stop
  fi
  [ "$REMOTE" = 0 ] || [ "$NETNS" = 1 ] || die "TB_REMOTE=1 needs TB_NETNS=1"
  # a failed start leaves nothing running behind
  trap 'echo "testbed: start failed, stopping what was started" >&2; do_stop' EXIT
  if [ "$NETNS" = 0 ]; then
    # Shared host loopback: a busy port would silently wire this bed to
    # another bed's daemons (cupsd keeps running on its socket alone).
    local busy; busy=$(ss -Hltn "( sport = :$CUPS_PORT or sport = :$IPPEVE_PORT or sport = :$DEAD_PORT )")
    [ -z "$busy" ] || die "ports in use (set TB_*_PORT or use TB_NETNS=1): $busy"
  fi
  write_configs
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$TB/run/dbus-system.sock
  export CUPS_SERVER=$TB/run/cups.sock CUPS_STATEDIR=$TB/state CUPS_SERVERROOT=$TB/client
  step "configs written"

  if [ "$NETNS" = 1 ]; then
    new_netns netns "$TB/run/dbus-system.sock"
    # No nss-mdns: .local names resolve through a hosts file bind-mounted over
    # /etc/hosts in the bed's own mount namespace only (the host's file is
    # untouched). The bed's own mDNS name maps to loopback, where ippeveprinter
    # listens; start_remote appends remote-printer.local.
    { cat /etc/hosts; echo "127.0.0.1 cups-testbed.local"; } >"$TB/hosts"
    LIBMOUNT_UTAB=$TB/run/utab nsenter -t "$(nspid)" -m -- mount --bind "$TB/hosts" /etc/hosts
    step "netns ready (pid $(nspid))"
  fi
  if [ "$REMOTE" = 1 ]; then start_remote; step "remote host started"; fi

  start_bg netns dbus dbus-daemon --config-file="$TB/dbus.conf" --nofork --nopidfile
  wait_for 3000 test -S "$TB/run/dbus-system.sock" || die "dbus did not start"
  step "dbus ready"

  if [ "$NETNS" = 1 ]; then
    start_bg netns avahi avahi-daemon -f "$TB/avahi-daemon.conf" --no-drop-root --no-chroot --no-rlimits --no-proc-title
  fi
  start_bg netns cupsd cupsd -f -c "$TB/etc/cupsd.conf" -s "$TB/etc/cups-files.conf"

  local rflag=()
  [ "$NETNS" = 1 ] || rflag=(-r off)   # no avahi-daemon in host-netns mode
  start_bg netns ippeve ippeveprinter -2 -p "$IPPEVE_PORT" -n localhost "${rflag[@]}" \
      -d "$TB/ippeve/spool" -K "$TB/ippeve/ssl" -c "$TB/ippeve/command.sh" \
      -f application/pdf,image/pwg-raster,image/urf,image/jpeg \
      -M TestBed -m "Virtual IPP Everywhere" -l "CI test bed" "TestBed Printer"
  start_bg netns problem ippeveprinter -2 -p "$PROBLEM_PORT" -n localhost "${rflag[@]}" \
      -d "$TB/problem/spool" -K "$TB/problem/ssl" -c "$TB/problem/command.sh" \
      -f application/pdf,image/pwg-raster,image/urf,image/jpeg \
      -M TestBed -m "Troubled IPP Everywhere" -l "Back office" "Problem Printer"

  wait_for 10000 cups_ready || { tail -20 "$TB/log/error_log" >&2; die "cupsd not ready"; }
  step "cupsd ready"
  wait_for 10000 in_ns ipptool -q -T 2 "ipp://localhost:$IPPEVE_PORT/ipp/print" get-printer-attributes.test \
    || { cat "$TB/log/ippeve.out" >&2; die "ippeveprinter not ready"; }
  running "$(cat "$TB/run/ippeve.pid")" || { cat "$TB/log/ippeve.out" >&2; die "ippeveprinter exited"; }
  wait_for 10000 in_ns ipptool -q -T 2 "ipp://localhost:$PROBLEM_PORT/ipp/print" get-printer-attributes.test \
    || { cat "$TB/log/problem.out" >&2; die "second ippeveprinter not ready"; }
  step "ippeveprinter ready"

  # Driverless queue: CUPS-Add-Modify-Printer with ppd-name=everywhere; cupsd
  # builds the PPD in a background thread after the request has returned.
  lpadmin -h "$CUPS_SERVER" -p Test_printer -E -v "ipp://localhost:$IPPEVE_PORT/ipp/print" \
          -m everywhere -D "Test printer" -L "Test bed"
  wait_for 10000 test -s "$TB/etc/ppd/Test_printer.ppd" || die "PPD for Test_printer not generated"
  step "Test_printer added (PPD generated)"
  # Unreachable printer: same PPD, device on a port nobody listens on; the ipp
  # backend gives up after contimeout seconds (job aborted, ErrorPolicy abort-job).
  lpadmin -h "$CUPS_SERVER" -p Dead_printer -E -v "ipp://localhost:$DEAD_PORT/ipp/print?contimeout=3" \
          -P "$TB/etc/ppd/Test_printer.ppd" -D "Unreachable printer" 2>/dev/null
  lpadmin -h "$CUPS_SERVER" -p Problem_printer -E -v "ipp://localhost:$PROBLEM_PORT/ipp/print" \
          -P "$TB/etc/ppd/Test_printer.ppd" -D "Problem printer" -L "Back office" 2>/dev/null
  lpadmin -h "$CUPS_SERVER" -d Test_printer
  step "Dead_printer added, default set"

  if [ "$NETNS" = 1 ]; then
    local want=TestBed
    [ "$REMOTE" = 0 ] || want='TestBed.*Remote|Remote.*TestBed'
    wait_for 8000 sh -c "avahi-browse -tp _ipp._tcp 2>/dev/null | tr '\n' ' ' | grep -Eq '$want'" \
      || die "DNS-SD registrations not visible"
    step "DNS-SD: _ipp._tcp visible"
  fi

  if [ "$PRIME" = 1 ]; then
    # One job through cupsd -> ipp backend -> ippeveprinter, so that cupsd has
    # marker-* values (the ipp backend only relays them while a job runs),
    # then purge it so tests start with an empty job history.
    local id
    id=$(lp -h "$CUPS_SERVER" -d Test_printer -t prime "$TB/files/test.pdf" | sed -n 's/.*Test_printer-\([0-9]*\).*/\1/p')
    wait_for 20000 sh -c "lpstat -h '$CUPS_SERVER' -W completed -o Test_printer | grep -q 'Test_printer-$id '" \
      || die "priming job did not complete"
    cancel -h "$CUPS_SERVER" -a -x Test_printer
    step "primed (job $id completed, history purged)"
  fi
  trap - EXIT
  echo "testbed: ready in $(( $(now_ms) - T0 )) ms; source $TB/env.sh" >&2
}

do_stop() {
  local name pid n
  # Reverse start order. Kill only PIDs we recorded, and only while their
  # command line still names this test bed (guards against PID reuse).
  # A namespace is torn down by killing its 'sleep' child: unshare itself
  # ignores SIGTERM while it waits for that child, then exits.
  for name in ippeve problem cupsd avahi dbus netns rippeve ravahi rdbus remote-netns; do
    [ -f "$TB/run/$name.pid" ] || continue
    pid=$(cat "$TB/run/$name.pid")
    if running "$pid" && if [ "${name%netns}" != "$name" ]; then grep -qa '^sleep' "/proc/$pid/cmdline"
                          else grep -qaF "$TB" "/proc/$pid/cmdline"; fi; then
      kill -TERM "$pid" 2>/dev/null || true
      for n in $(seq 1 250); do running "$pid" || break; sleep 0.02; done
      if running "$pid"; then
        echo "testbed: $name ($pid) ignored SIGTERM for 5 s, sending SIGKILL" >&2
        kill -KILL "$pid" 2>/dev/null || true
      fi
      step "stopped $name"
    fi
    rm -f "$TB/run/$name.pid"
  done
  for name in netns-holder remote-netns-holder; do
    [ -f "$TB/run/$name.pid" ] || continue
    pid=$(cat "$TB/run/$name.pid")
    for n in $(seq 1 100); do running "$pid" || break; sleep 0.02; done
    rm -f "$TB/run/$name.pid"
  done
  echo "testbed: stopped in $(( $(now_ms) - T0 )) ms" >&2
}

bed_up() { local p; p=$(cat "$TB/run/cupsd.pid" 2>/dev/null) && running "$p"; }

case "$cmd" in
  start)
    # One more try after a failed start (it has stopped what it started): a daemon that
    # loses a race on a loaded machine should not fail a whole test run.
    if ! ( do_start ); then
      echo "testbed: start failed; trying once more" >&2
      T0=$(now_ms)
      do_start
    fi ;;
  stop)  do_stop ;;
  exec)  shift 2; in_ns "$@" ;;
  up)    bed_up ;;
  run)   shift 2
         if bed_up; then
           # shellcheck disable=SC1091
           . "$TB/env.sh"
           in_ns "$@"
         else
           exec "$@"
         fi ;;
  *)     die "unknown command $cmd" ;;
esac
