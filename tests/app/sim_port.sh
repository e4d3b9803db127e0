# Sourced by the program tests. sim_port LOG: the loopback port that the
# emulated amplifier writing LOG listens on, once it says so (up to 20 s);
# nothing, and status 1, when it never does.
sim_port() {
  local port=
  for _ in $(seq 400); do
    port=$(sed -n 's/.* on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$1" | head -1)
    [ -n "$port" ] && { echo "$port"; return 0; }
    sleep 0.05
  done
  return 1
}
