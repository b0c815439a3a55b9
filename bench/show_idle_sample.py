#!/usr/bin/env python3
"""Samples a running player's threads and reports what it costs while a slide is displayed.

    show_idle_sample.py PID SECONDS LABEL

Every 100 ms it reads each thread's context switches (voluntary + nonvoluntary, from
/proc/PID/task/*/status: each one is a wakeup) and its time on a processor (schedstat).
A slide is on display while the show thread (the one whose id is PID) rests: it uses next to no
processor time and wakes at most now and then (a transition wakes it for every frame). Rests of at least MIN_WINDOW seconds count, less their first TRIM seconds (a slide's sound
plays then, and the silence before the audio device closes) and their last TRIM_END seconds
(the sample in which the next transition begins). Prints, over those windows, the
wakeups per second of each thread and of the whole process and the processor use.
"""
import os
import sys
import time

PERIOD = 0.1
MIN_WINDOW = 2.5  # seconds
TRIM = 1.0
TRIM_END = 0.3
# A sample of the show thread with less processor time and fewer wakeups than these rests.
REST_NS = 2_000_000
REST_WAKEUPS = 3


def read_threads(pid):
    threads = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except FileNotFoundError:
        return None
    for tid in tids:
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                name = f.read().strip()
            switches = 0
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                cpu_ns = int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            continue
        threads[int(tid)] = (name, switches, cpu_ns)
    return threads


def main():
    pid, seconds, label = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3]
    samples = []
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        t = time.monotonic()
        threads = read_threads(pid)
        if threads is None:
            break
        samples.append((t, threads))
        time.sleep(max(0.0, PERIOD - (time.monotonic() - t)))

    # Display windows: runs of samples over which the show thread stayed idle.
    windows, start = [], None
    for i in range(1, len(samples)):
        before, now = samples[i - 1][1].get(pid), samples[i][1].get(pid)
        idle = (before and now and now[2] - before[2] < REST_NS
                and now[1] - before[1] < REST_WAKEUPS)
        if idle and start is None:
            start = i - 1
        if (not idle or i == len(samples) - 1) and start is not None:
            last = i if idle else i - 1
            if samples[last][0] - samples[start][0] >= MIN_WINDOW:
                first = start
                while samples[first][0] < samples[start][0] + TRIM:
                    first += 1
                while samples[last][0] > samples[i][0] - TRIM_END:
                    last -= 1
                windows.append((first, last))
            start = None

    total_time = sum(samples[b][0] - samples[a][0] for a, b in windows)
    if total_time <= 0:
        print(f"{label}: no slide was displayed long enough to measure", file=sys.stderr)
        sys.exit(1)
    per_thread = {}  # tid -> [name, wakeups, cpu_ns]
    for a, b in windows:
        for i in range(a + 1, b + 1):
            previous = samples[i - 1][1]
            for tid, (name, switches, cpu_ns) in samples[i][1].items():
                _, switches0, cpu0 = previous.get(tid, (name, 0, 0))  # a new thread: all of it
                entry = per_thread.setdefault(tid, [name, 0, 0])
                entry[1] += switches - switches0
                entry[2] += cpu_ns - cpu0
    print(f"{label}: {len(windows)} display windows, {total_time:.1f} s")
    all_wakeups = all_cpu = 0
    for tid, (name, wakeups, cpu_ns) in sorted(per_thread.items()):
        all_wakeups += wakeups
        all_cpu += cpu_ns
        if wakeups:
            print(f"  thread {name:16s} {wakeups / total_time:7.2f} wakeups/s")
    print(f"  process                 {all_wakeups / total_time:7.2f} wakeups/s, "
          f"{100 * all_cpu / 1e9 / total_time:.3f} % of one core")


if __name__ == "__main__":
    main()
