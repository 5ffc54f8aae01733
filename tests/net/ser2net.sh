# Debian's ser2net for the shell tests, on 127.0.0.1 only; sourced by
# tests/windows/run.sh and tests/readme/commands_test.sh.
#   readme_ser2net_yaml REPO      prints the README's example configuration
#   start_ser2net DIR DEVICE YAML starts ser2net with YAML's configuration, its device
#                                 (/dev/ttyACM0) replaced by DEVICE and its ports 7000 and 7001
#                                 by free ports of 127.0.0.1 (set in rfc_port and raw_port);
#                                 s2n_pid is its process id
#   stop_ser2net                  ends it

readme_ser2net_yaml() { awk '/^```yaml$/ {on=1; next} /^```$/ {on=0} on' "$1/README.md"; }

free_port() {
    /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

listens() {  # listens PID PORT: the process holds the socket listening on 127.0.0.1:PORT
    local inode
    inode=$(awk -v a="0100007F:$(printf '%04X' "$2")" '$2 == a && $4 == "0A" {print $10}' /proc/net/tcp)
    [ -n "$inode" ] && ls -l "/proc/$1/fd" 2> /dev/null | grep -q "socket:\[$inode\]"
}

start_ser2net() {
    local dir="$1" device="$2" yaml="$3"
    # The ports are free when chosen; should another program take one before
    # ser2net does, it is started again on others.
    for _ in 1 2 3 4 5; do
        rfc_port=$(free_port) raw_port=$(free_port)
        [ "$rfc_port" = "$raw_port" ] && continue
        printf '%s\n' "$yaml" | sed -e "s|/dev/ttyACM0|$device|" -e "s|tcp,7000\$|tcp,127.0.0.1,$rfc_port|" \
            -e "s|tcp,7001\$|tcp,127.0.0.1,$raw_port|" -e "s|serialdev,|serialdev(nouucplock),|" > "$dir/ser2net.yaml"
        /usr/sbin/ser2net -n -d -c "$dir/ser2net.yaml" -P "$dir/ser2net.pid" > "$dir/ser2net.log" 2>&1 &
        s2n_pid=$!
        for _ in $(seq 100); do
            listens "$s2n_pid" "$rfc_port" && listens "$s2n_pid" "$raw_port" && return 0
            kill -0 "$s2n_pid" 2> /dev/null || break
            sleep 0.05
        done
        stop_ser2net
    done
    return 1
}

stop_ser2net() {
    kill -9 "$s2n_pid" 2> /dev/null
    wait "$s2n_pid" 2> /dev/null
}
