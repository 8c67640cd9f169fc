#!/usr/bin/env bash
# Starts (or stops) real proxies from the distribution on loopback ports for the socket
# control's tests: dante (SOCKS4 and SOCKS5 without authentication; SOCKS5 with user name and
# password) and tinyproxy (HTTP CONNECT without and with Basic authentication).
#   real_proxies.sh start <dir>   writes <dir>/proxies.env with the ports and the account
#   real_proxies.sh stop <dir>
# The SOCKS5 account is a system account (dante checks passwords against the system), made
# here when missing; starting needs root.
set -euo pipefail
cmd=$1
dir=$2
user=korvelproxy
pass=Proxy-pa55
# Loopback ports for this run, chosen from the process id so two trees can test side by side.
base=$(( 42000 + ($$ % 400) * 8 ))

stop() {
  for f in "$dir"/*.pid; do
    [ -f "$f" ] || continue
    kill "$(cat "$f")" 2>/dev/null || true
    rm -f "$f"
  done
}

if [ "$cmd" = stop ]; then
  stop
  exit 0
fi

mkdir -p "$dir"
stop
if ! id "$user" >/dev/null 2>&1; then
  useradd -M -s /usr/sbin/nologin "$user"
fi
echo "$user:$pass" | chpasswd

dante_conf() {  # port method log
  cat <<CONF
logoutput: $3
internal: 127.0.0.1 port = $1
external: 127.0.0.1
clientmethod: none
socksmethod: $2
user.privileged: root
user.unprivileged: nobody
client pass {
  from: 127.0.0.0/8 to: 0.0.0.0/0
}
socks pass {
  from: 127.0.0.0/8 to: 127.0.0.0/8
  command: connect
  protocol: tcp
}
CONF
}

tinyproxy_conf() {  # port name [auth]
  cat <<CONF
Port $1
Listen 127.0.0.1
Timeout 60
Allow 127.0.0.1
MaxClients 20
PidFile "$dir/$2.pid"
LogFile "$dir/$2.log"
User nobody
Group nogroup
CONF
  [ -n "${3:-}" ] && echo "BasicAuth $user $pass"
  return 0
}

socks=$base
socks_auth=$((base + 1))
http=$((base + 2))
http_auth=$((base + 3))
dante_conf "$socks" none "$dir/dante.log" > "$dir/dante.conf"
dante_conf "$socks_auth" username "$dir/dante_auth.log" > "$dir/dante_auth.conf"
tinyproxy_conf "$http" tinyproxy > "$dir/tinyproxy.conf"
tinyproxy_conf "$http_auth" tinyproxy_auth auth > "$dir/tinyproxy_auth.conf"
danted -f "$dir/dante.conf" -p "$dir/dante.pid" -D
danted -f "$dir/dante_auth.conf" -p "$dir/dante_auth.pid" -D
tinyproxy -c "$dir/tinyproxy.conf"
tinyproxy -c "$dir/tinyproxy_auth.conf"

# Ready when every port answers.
for port in "$socks" "$socks_auth" "$http" "$http_auth"; do
  for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
  done
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "proxy on $port did not start" >&2; stop; exit 1; }
done
cat > "$dir/proxies.env" <<ENV
socks=$socks
socks_auth=$socks_auth
http=$http
http_auth=$http_auth
user=$user
pass=$pass
ENV
echo "real proxies on $socks (socks), $socks_auth (socks5 auth), $http (http), $http_auth (http auth)"
