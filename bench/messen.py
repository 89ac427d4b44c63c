"""Runs a command and prints "WALL CPU PEAK_KB" of it: wall time and CPU time (user + system)
in seconds to the microsecond, peak resident memory in KB, of that process alone (started with
posix_spawn, so no copy of this interpreter counts). The command's output is discarded; its
exit status is passed on."""
import os
import sys
import time

nichts = os.open(os.devnull, os.O_WRONLY)
anfang = time.perf_counter()
kind = os.posix_spawnp(sys.argv[1], sys.argv[1:], os.environ,
                       file_actions=[(os.POSIX_SPAWN_DUP2, nichts, 1)])
_, status, verbrauch = os.wait4(kind, 0)
wand = time.perf_counter() - anfang
print(f"{wand:.4f} {verbrauch.ru_utime + verbrauch.ru_stime:.4f} {verbrauch.ru_maxrss}")
sys.exit(os.waitstatus_to_exitcode(status))
