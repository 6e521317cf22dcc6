#!/usr/bin/env bash
# The show's sound as written, measured with ffmpeg's EBU R128 meter (ebur128=peak=true), apart
# from the program's own analysis:
#   1. loudness: three 20 s songs cut from the asc-music track, mastered 12 dB apart, rendered
#      to MP4 (AAC) and to MKV (PCM) at -16 LUFS. Each song's section away from the joins is
#      within ±1 LU of -16 unless its true peak holds it lower (printed); the file's true peak
#      is at most -0.5 dBTP after AAC, -1 dBTP in PCM.
#   2. joins: the momentary loudness (400 ms windows in 100 ms steps) over each join is never
#      more than 1 dB above the louder side (windows 0.5 s before and after the join); for the
#      default 0.2 s join and --join 3. Beside it, the mixer's own figure: the show against
#      ffmpeg's equal-power crossfade (acrossfade, quarter sines) of the same songs at the
#      program's gains, so that a rise the music makes by itself is told from one the mix adds.
#   3. beats: 10 photos fitted to the beat of click tracks of 120 and 97 BPM (clicks on a
#      -60 dBFS noise floor): every transition starts within 10 ms of a click. On the real
#      track: the tempo found and how far the transitions start from the tracked beats.
#   4. cost: a 720p show of 10 photos (no motion) over 3 songs of the track, 60 s, to MP4 with
#      --loudness off and on (the analysis cached), CPU seconds (user + system), 3 runs
#      alternating: the median ratio on/off is at most 1.02. And the first analysis (empty cache).
#
# Usage: bench/music-mix.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/material.sh
gather_music
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target kavrel-render bench-music-mix -j 2 > /dev/null
RENDER=$PWD/$BUILD_DIR/kavrel-render
MIX=$PWD/$BUILD_DIR/bench/bench-music-mix
W=$(mktemp -d)
trap 'rm -rf "$W"' EXIT
export XDG_CACHE_HOME=$W/cache
# Prints PASS or FAIL; a FAIL is counted in $W/missed (it runs in a subshell).
verdict() {  # $1: 1 when the target is met
    if [ "$1" = 1 ]; then echo PASS; else echo >> "$W/missed"; echo FAIL; fi
}

# ffmpeg's integrated loudness and true peak of $1, from $2 s for $3 s: "LUFS DBTP" (read from
# the meter's last frame).
r128() {
    ffmpeg -v error -ss "$2" -t "$3" -i "$1" -af "ebur128=peak=true:metadata=1:framelog=verbose,ametadata=print:file=-" -f null - |
        awk -F= '$1 == "lavfi.r128.I" {i = $2} $1 == "lavfi.r128.true_peak" {p = $2}
                 END {tp = p > 0 ? 20 * log(p) / log(10) : -999; printf "%.2f %.3f\n", i, tp}'
}

# Momentary loudness of $1 every 100 ms: "CENTRE LUFS" lines, CENTRE the window's middle.
momentary() {
    ffmpeg -v error -i "$1" -af "asetnsamples=n=4410:p=0,ebur128=metadata=1:framelog=verbose,ametadata=print:key=lavfi.r128.M:file=$2.txt" -f null -
    paste - - < "$2.txt" | awk '{split($3, a, ":"); split($4, b, "="); printf "%.1f %s\n", a[2] + 0.1 - 0.2, b[2]}' > "$2"
}

photo=$W/photo.jpg
ffmpeg -v error -y -f lavfi -i testsrc2=s=640x480 -frames:v 1 "$photo"

echo "== 1. loudness: three 20 s songs 12 dB apart, played at -16 LUFS"
# Cut from the track at 20, 80 and 140 s, all lowered by the same amount so that the loudest one
# peaks below full scale, then by 0, 12 and 24 dB.
cuts=(20 80 140)
top=-99
for c in "${cuts[@]}"; do
    read -r _ p < <(r128 "$MUSIC" "$c" 20)
    top=$(awk -v a="$top" -v b="$p" 'BEGIN {print (b > a ? b : a)}')
done
lower=$(awk -v p="$top" 'BEGIN {print (p > -0.5 ? -0.5 - p : 0)}')
SONGS=()
for i in 0 1 2; do
    SONGS+=("$W/song$i.flac")
    ffmpeg -v error -y -ss "${cuts[$i]}" -t 20 -i "$MUSIC" -af "volume=$(awk -v l="$lower" -v i=$i 'BEGIN {print l - 12 * i}')dB" \
        -ar 44100 -c:a flac "${SONGS[$i]}"
done
printf "songs cut at %s s of %s, lowered by %.2f dB more to stay below full scale\n" "${cuts[*]}" "$(basename "$MUSIC")" "$(awk -v l="$lower" 'BEGIN {print -l}')"
MUSIC_ARGS=(--music "${SONGS[0]}" --music "${SONGS[1]}" --music "${SONGS[2]}")

# Renders the three songs under one photo that lasts as long as they play once: $1 output, $2 join,
# then more options.
render_songs() {
    local out=$1 join=$2; shift 2
    "$RENDER" --photo-duration "$(awk -v j="$join" 'BEGIN {print 60 - 2 * j}')" --transition-duration 0 --fade-out 0 \
        --size 320x240 --join "$join" "${MUSIC_ARGS[@]}" "$@" -o "$out" "$photo" > "$W/render.log" 2>&1 || { cat "$W/render.log"; exit 1; }
    ffmpeg -v error -y -i "$out" -vn -c:a pcm_f32le "$out.wav"
}

# The program's gains (the dump) and analysis: which songs their true peak holds.
mapfile -t gains < <("$RENDER" --photo-duration 59.6 --transition-duration 0 --fade-out 0 "${MUSIC_ARGS[@]}" --dump-timeline "$photo" |
    awk -F'"' '/name="Gain"/ {print $6}' | head -3)
mapfile -t levels < <("$MIX" levels "${SONGS[@]}")
HELD=()
printf "%-4s %10s %11s %11s %9s %14s  %s\n" song "mastered" analysis "true peak" gain "expected gain" "held by its peak"
for i in 0 1 2; do
    read -r _ lufs peak _ _ <<< "${levels[$i]}"
    read -r fl fp < <(r128 "${SONGS[$i]}" 0 20)
    # Held: gained to the target, its true peak would pass -1 dBTP; it gets -1 - peak instead.
    read -r held want < <(awk -v l="$lufs" -v p="$peak" 'BEGIN {g = -16 - l; h = p + g > -1; print h, h ? -1 - p : g}')
    HELD+=("$held")
    printf "%-4s %5s LUFS %6.2f LUFS %6.2f dBTP %+6.2f dB %+8.2f dB %s  %s (ffmpeg: %s dBTP)\n" $i "$fl" "$lufs" "$peak" "${gains[$i]}" \
        "$want" "$(verdict "$(awk -v g="${gains[$i]}" -v w="$want" 'BEGIN {print (g - w < 0.05 && w - g < 0.05) ? 1 : 0}')")" \
        "$([ "$held" = 1 ] && echo "yes: plays at $(awk -v g="${gains[$i]}" -v l="$lufs" 'BEGIN {printf "%.2f", l + g}') LUFS" || echo no)" "$fp"
done

# Each song's section away from the joins of 0.2 s: from 1 s after its join in to 1 s before its
# join out.
loudness_check() {  # $1 file, $2 label, $3 true peak ceiling
    local out=$1 ceiling=$3
    echo "-- $2"
    for i in 0 1 2; do
        local from to lufs
        from=$(awk -v i=$i 'BEGIN {print i * 19.8 + 1.2}')
        read -r lufs _ < <(r128 "$out.wav" "$from" 17.6)
        if [ "${HELD[$i]}" = 1 ]; then
            printf "song %d, %5.1f-%5.1f s: %6s LUFS  (held by its peak, not held to ±1 LU)\n" $i "$from" "$(awk -v f="$from" 'BEGIN {print f + 17.6}')" "$lufs"
        else
            printf "song %d, %5.1f-%5.1f s: %6s LUFS  (target -16 ±1)  %s\n" $i "$from" "$(awk -v f="$from" 'BEGIN {print f + 17.6}')" "$lufs" \
                "$(verdict "$(awk -v l="$lufs" 'BEGIN {print (l >= -17 && l <= -15) ? 1 : 0}')")"
        fi
    done
    local peak
    read -r _ peak < <(r128 "$out.wav" 0 60)
    printf "true peak of the file: %s dBTP  (target <= %s)  %s\n" "$peak" "$ceiling" \
        "$(verdict "$(awk -v p="$peak" -v c="$ceiling" 'BEGIN {print (p <= c) ? 1 : 0}')")"
}
render_songs "$W/show.mp4" 0.2
loudness_check "$W/show.mp4" "MP4 (AAC)" -0.5
render_songs "$W/show.mkv" 0.2 --audio-compressor none
loudness_check "$W/show.mkv" "MKV (PCM, --audio-compressor none)" -1

echo
echo "== 2. joins: momentary loudness over each join, at most 1 dB above the louder side"
# Music moves by several dB within a second, so a window over the join may outdo both sides by
# itself. Second figure, the mixer's own: the same songs at the program's gains crossfaded at
# equal power by ffmpeg (acrossfade, quarter sines), measured the same way: its own rise over the
# sides, and how far the show's windows over the join rise above it.
ideal() {  # $1 join: the ideal mix in $W/ideal
    ffmpeg -v error -y -i "${SONGS[0]}" -i "${SONGS[1]}" -i "${SONGS[2]}" -filter_complex \
        "[0]volume=${gains[0]}dB[a];[1]volume=${gains[1]}dB[b];[2]volume=${gains[2]}dB[c];[a][b]acrossfade=d=$1:c1=qsin:c2=qsin[ab];[ab][c]acrossfade=d=$1:c1=qsin:c2=qsin" \
        -c:a pcm_f32le "$W/ideal.wav"
    momentary "$W/ideal.wav" "$W/ideal"
}
join_check() {  # $1 file, $2 join
    momentary "$1.wav" "$W/m"
    python3 - "$W" "$2" <<'PY'
import sys
w, join = sys.argv[1], float(sys.argv[2])
def read(path, shift=0.0):
    return {round((float(t) + shift) * 10): float(m) for t, m in (l.split() for l in open(path))}
mix, ref = read(f"{w}/m"), read(f"{w}/ideal")
verdict = lambda x: "PASS" if x <= 1 else "FAIL"
def rise(m, s, e):  # the highest window reaching into the join, above the louder side
    over = [t for t in m if s - 0.2 < t / 10 < e + 0.2]
    top = max(over, key=lambda t: m[t])
    return over, top, m[top] - max(m[round((s - 0.5) * 10)], m[round((e + 0.5) * 10)])
for k in (1, 2):
    s = k * (20 - join)
    e = s + join
    over, top, bump = rise(mix, s, e)
    print(f"join {k} ({s:.1f}-{e:.1f} s): sides {mix[round((s - 0.5) * 10)]:.2f} and {mix[round((e + 0.5) * 10)]:.2f} LUFS, "
          f"highest over it {mix[top]:.2f} LUFS at {top / 10:.1f} s: {bump:+.2f} dB  {verdict(bump)}")
    _, _, own = rise(ref, s, e)
    worst = max(over, key=lambda t: mix[t] - ref[t])
    print(f"        ideal equal-power mix: {own:+.2f} dB over its sides; the show above it by at most "
          f"{mix[worst] - ref[worst]:+.2f} dB (at {worst / 10:.1f} s)  {verdict(mix[worst] - ref[worst])}")
PY
}
echo "-- join 0.2 s (the default)"
ideal 0.2
join_check "$W/show.mp4" 0.2 | tee "$W/join"
render_songs "$W/join3.mp4" 3
echo "-- join 3 s"
ideal 3
join_check "$W/join3.mp4" 3 | tee -a "$W/join"
grep FAIL "$W/join" >> "$W/missed" || true

echo "== 3. beats: 10 photos fitted to the beat"
# A click track: a 30 ms click of 2 kHz every beat from 0.5 s, on noise of -60 dBFS RMS.
click_track() {  # $1 BPM, $2 output
    python3 - "$1" "$2" <<'EOF'
import math, random, struct, sys, wave
bpm, out = float(sys.argv[1]), sys.argv[2]
rate, seconds, offset = 44100, 60, 0.5
random.seed(1)
noise = 10 ** (-60 / 20) * math.sqrt(3)
x = [noise * (2 * random.random() - 1) for _ in range(seconds * rate)]
click = [0.5 * math.sin(2 * math.pi * 2000 * i / rate) * math.exp(-i / rate / 0.005) for i in range(int(0.03 * rate))]
k = 0
while offset + k * 60 / bpm < seconds - 0.05:
    s0 = round((offset + k * 60 / bpm) * rate)
    for i, c in enumerate(click): x[s0 + i] += c
    k += 1
w = wave.open(out, "wb"); w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate)
w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, round(v * 32767)))) for v in x)); w.close()
EOF
}
# Distances of the transition starts from the nearest of the given beats: $1 the fit's output,
# $2 "clicks BPM" or "tracked".
beat_distances() {
    python3 - "$1" "$2" "${3:-0}" <<'EOF'
import statistics, sys
lines = [l.split() for l in open(sys.argv[1])]
music = float(next(v for k, v in lines if k == "music"))
tempo = float(next(v for k, v in lines if k == "tempo"))
starts = [float(v) for k, v in lines if k == "transition"]
if sys.argv[2] == "clicks":
    bpm = float(sys.argv[3])
    beats = [music + 0.5 + k * 60 / bpm for k in range(int(60 * bpm / 60) + 1)]
else:
    beats = [music + float(v) for k, v in lines if k == "beat"]
d = [min(abs(s - b) for b in beats) * 1000 for s in starts]
print(f"{tempo:.2f} {len(starts)} {statistics.median(d):.2f} {max(d):.2f}")
EOF
}
for bpm in 120 97; do
    click_track $bpm "$W/click$bpm.wav"
    "$MIX" fit "$W/click$bpm.wav" "$photo" 10 > "$W/fit$bpm.txt" 2> "$W/mix.log" || { cat "$W/mix.log"; exit 1; }
    read -r tempo n median max < <(beat_distances "$W/fit$bpm.txt" clicks $bpm)
    printf "click track %d BPM: tempo found %.2f BPM, %d transitions, from their clicks: median %.2f ms, max %.2f ms  (target <= 10)  %s\n" \
        $bpm "$tempo" "$n" "$median" "$max" "$(verdict "$(awk -v m="$max" 'BEGIN {print (m <= 10) ? 1 : 0}')")"
done
SONG=$W/music-60s.mp3
ffmpeg -v fatal -y -ss 20 -t 60 -i "$MUSIC" -c:a libmp3lame -b:a 192k "$SONG"
"$MIX" fit "$SONG" "$photo" 10 > "$W/fit-song.txt" 2> "$W/mix.log" || { cat "$W/mix.log"; exit 1; }
read -r tempo n median max < <(beat_distances "$W/fit-song.txt" tracked)
printf "%s, 60 s from 0:20: tempo found %.2f BPM, %d transitions, from the tracked beats: median %.2f ms, max %.2f ms\n" \
    "$(basename "$MUSIC")" "$tempo" "$n" "$median" "$max"

echo
echo "== 4. cost: 720p, 10 photos, 3 songs, 60 s, to MP4: --loudness off vs on"
COST=()
for i in 0 1 2; do
    COST+=("$W/real$i.mp3")
    ffmpeg -v fatal -y -ss $((i * 90)) -t 20.2 -i "$MUSIC" -c:a libmp3lame -b:a 192k "${COST[$i]}"
done
PHOTOS=()
for i in $(seq 0 9); do
    PHOTOS+=("$W/p$i.jpg")
    ffmpeg -v error -y -f lavfi -i "mandelbrot=s=2000x1500:start_scale=$((2 + i))" -frames:v 1 -q:v 3 "${PHOTOS[$i]}"
done
cost_render() {  # $1 loudness, $2 frame size (720p); prints CPU seconds
    /usr/bin/time -f "%U %S" -o "$W/time" "$RENDER" --size "${2:-720p}" --motion none --photo-duration 6 --transition-duration 1 \
        --fade-out 2 --loudness "$1" --join 0.2 --music "${COST[0]}" --music "${COST[1]}" --music "${COST[2]}" \
        -o "$W/cost.mp4" "${PHOTOS[@]}" > "$W/render.log" 2>&1 || { cat "$W/render.log" >&2; exit 1; }
    awk '{printf "%.2f", $1 + $2}' "$W/time"
}
rm -rf "$XDG_CACHE_HOME"
/usr/bin/time -f "%U %S" -o "$W/atime" "$MIX" levels "${COST[@]}" > /dev/null 2> "$W/mix.log" || { cat "$W/mix.log"; exit 1; }
printf "first analysis of the 3 songs (empty cache): %.2f CPU s\n" "$(awk '{print $1 + $2}' "$W/atime")"
rm -rf "$XDG_CACHE_HOME"
printf "first render with loudness on (empty cache): %s CPU s\n" "$(cost_render -16)"
ratios=()
for run in 1 2 3; do
    off=$(cost_render off)
    on=$(cost_render -16)
    ratio=$(awk -v a="$on" -v b="$off" 'BEGIN {printf "%.4f", a / b}')
    ratios+=("$ratio")
    printf "run %d: off %s CPU s, on %s CPU s, on/off %s\n" $run "$off" "$on" "$ratio"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | sed -n 2p)
printf "median on/off: %s  (target <= 1.02)  %s\n" "$median" "$(verdict "$(awk -v r="$median" 'BEGIN {print (r <= 1.02) ? 1 : 0}')")"
# The same show at 64x48, where the sound's share of the work is largest: the gain's own cost,
# less hidden by the picture's (and by the machine's noise).
ratios=()
for run in 1 2 3 4 5; do
    off=$(cost_render off 64x48)
    on=$(cost_render -16 64x48)
    ratios+=("$(awk -v a="$on" -v b="$off" 'BEGIN {printf "%.4f", a / b}')")
    printf "64x48 run %d: off %s CPU s, on %s CPU s\n" $run "$off" "$on"
done
printf "64x48 median on/off over 5 runs: %s (for information)\n" "$(printf '%s\n' "${ratios[@]}" | sort -n | sed -n 3p)"

echo
echo "targets missed: $(cat "$W/missed" 2>/dev/null | wc -l)"
