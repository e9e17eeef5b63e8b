# Whether a game's resident memory keeps growing. Input: one sample a line, "soak-seconds round
# game-seconds rss-kB". Per round, over the samples taken once the game was five minutes old (start-up
# and the first levels fill caches and pools): the least-squares slope in MiB a minute, and the rise
# from the first of them to the last. Growing means both above their limits (-v max_slope in MiB a
# minute, default 0.5; -v margin in MiB, default 16): the slope alone would flag noise on a short
# stretch, the rise alone a single late spike.
# Prints one line per round with at least 12 such samples (two minutes), "GROWING" or "steady".
BEGIN {
    if (max_slope == "") max_slope = 0.5
    if (margin == "") margin = 16
}
NF == 4 && $3 >= 300 {
    r = $2; t = $3 / 60; m = $4 / 1024
    n[r]++; st[r] += t; sm[r] += m; stt[r] += t * t; stm[r] += t * m
    if (n[r] == 1) first[r] = m
    last[r] = m
}
END {
    for (r in n) {
        if (n[r] < 12) {
            printf "round %d: %d samples past five minutes, growth not judged\n", r, n[r]
            continue
        }
        slope = (n[r] * stm[r] - st[r] * sm[r]) / (n[r] * stt[r] - st[r] * st[r])
        rise = last[r] - first[r]
        printf "round %d: %s, %+.2f MiB/min over %d samples, %+.1f MiB from minute 5 to the end\n", r,
               (slope > max_slope && rise > margin) ? "GROWING" : "steady", slope, n[r], rise
    }
}
