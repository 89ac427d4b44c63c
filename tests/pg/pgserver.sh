#!/usr/bin/env bash
# The throwaway PostgreSQL server of the tests: `pgserver.sh start DIR` makes a cluster in
# DIR/daten with initdb and starts it with pg_ctl, listening only on a Unix socket in DIR (no
# TCP), with one password-protected superuser `tarvo` whose password is in DIR/pgpass.
# `pgserver.sh stop DIR` stops it and removes DIR. The server refuses to run as root, so a root
# caller runs it as the unprivileged user `postgres` that Debian's package creates. Where the
# server programs are missing, start writes DIR/fehlt and the tests that need it are skipped.
set -euo pipefail
aktion="$1"
ordner="$(realpath -m "$2")"
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)"
[ -n "$bin" ] || bin="$(dirname "$(command -v initdb 2>/dev/null || echo /nicht/da/initdb)")"

als=()
if [ "$(id -u)" -eq 0 ]; then als=(runuser -u postgres --); fi

case "$aktion" in
start)
  if [ -f "$ordner/daten/postmaster.pid" ]; then
    "${als[@]}" "$bin/pg_ctl" -D "$ordner/daten" -m immediate stop >/dev/null 2>&1 || true
  fi
  rm -rf "$ordner"
  mkdir -p "$ordner"
  if [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ] ||
     { [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; }; then
    echo "Die Programme des PostgreSQL-Servers fehlen (Debian-Paket postgresql)." >"$ordner/fehlt"
    cat "$ordner/fehlt"
    exit 0
  fi
  passwort="tarvo-$(od -An -N8 -tx8 /dev/urandom | tr -d ' ')"
  printf '%s\n' "$passwort" >"$ordner/passwort"
  [ "${#als[@]}" -eq 0 ] || chown postgres "$ordner" "$ordner/passwort"
  "${als[@]}" "$bin/initdb" -D "$ordner/daten" -U tarvo --pwfile="$ordner/passwort" \
    --auth-local=scram-sha-256 --auth-host=reject -E UTF8 --locale=C.UTF-8 --no-sync \
    >"$ordner/initdb.log" 2>&1 || { cat "$ordner/initdb.log"; exit 1; }
  rm -f "$ordner/passwort"
  "${als[@]}" "$bin/pg_ctl" -D "$ordner/daten" -l "$ordner/server.log" -w -t 60 \
    -o "-k $ordner -c listen_addresses= -c fsync=off -c synchronous_commit=off -c max_connections=60" \
    start >/dev/null || { cat "$ordner/server.log"; exit 1; }
  # The password for the clients, as an office keeps it in ~/.pgpass.
  umask 077
  printf '*:*:*:tarvo:%s\n' "$passwort" >"$ordner/pgpass"
  echo "PostgreSQL läuft: Socket in $ordner"
  ;;
stop)
  if [ -f "$ordner/daten/postmaster.pid" ]; then
    "${als[@]}" "$bin/pg_ctl" -D "$ordner/daten" -m fast -w stop >/dev/null || true
  fi
  rm -rf "$ordner"
  ;;
*)
  echo "Aufruf: pgserver.sh start|stop ORDNER" >&2
  exit 2
  ;;
esac
