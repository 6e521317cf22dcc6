#!/usr/bin/env bash
# Renders the benchmark show with kavrel-render and, in the same run, the encoder-only limit and
# the best peers (FFmpeg decoding each photo once, and melt), and prints wall time, CPU time and
# peak memory side by side.
#
# The show: N photos of 3 s entering with a 1 s Fade, music looped under it.
#   avi480: 640x480 MPEG-4 part 2 (q 3) + Microsoft ADPCM in AVI
#   mp4720: 1280x720 H.264 (CRF 20, medium) + AAC 192k in MP4
#   mp41080: 1920x1080 H.264 (CRF 20, medium) + AAC 192k in MP4
# MOTION=random gives every photo a random pan or zoom (seed 1). Its encoder-only limit is the
# recipe "limit-own": the show's own frames, rendered once losslessly by kavrel-render, encoded
# alone with the same settings (the "limit" recipe's frames stand still).
#
# Usage: [RUNS=3] bench/render-show.sh [PROFILE [N [RECIPES]]]
#   e.g. RUNS=3 bench/render-show.sh avi480 120 "kavrel limit ffmpeg-once melt"
#        MOTION=random bench/render-show.sh mp41080 10 "kavrel limit-own"
# With RUNS above 1 each recipe runs that many times and the run of median wall time is shown
# (small shared machines vary by 10 % from run to run).
# Needs root once, to install the material and the peers (Debian packages).
set -euo pipefail
cd "$(dirname "$0")/.."
PROFILE=${1:-avi480}
N=${2:-120}
RECIPES=${3:-kavrel limit ffmpeg-once melt}
RUNS=${RUNS:-1}
MOTION=${MOTION:-none}
MAT=${MAT:-/tmp/kavrel-bench/show-material}
WORK=${WORK:-/tmp/kavrel-bench/work}
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
mkdir -p "$WORK"
. bench/material.sh

photo_list() {
    mapfile -t all < <(ls "$MAT"/photos/*.jpg)
    for ((i = 0; i < N; i++)); do echo "${all[$((i % ${#all[@]}))]}"; done
}

set_profile() {
    case "$PROFILE" in
    avi480) W=640; H=480; EXT=avi
        VENC=(-c:v mpeg4 -vtag DIVX -q:v 3); AENC=(-c:a adpcm_ms -ar 44100 -ac 2)
        OURS=(--video-compressor mpeg4 --audio-compressor adpcm_ms) ;;
    mp4720|mp41080) W=1280; H=720; EXT=mp4
        [ "$PROFILE" = mp41080 ] && W=1920 && H=1080
        VENC=(-c:v libx264 -preset medium -crf 20 -pix_fmt yuv420p); AENC=(-c:a aac -b:a 192k -ar 44100 -ac 2)
        OURS=(--video-compressor libx264 --audio-compressor aac) ;;
    *) echo "profile: avi480, mp4720 or mp41080" >&2; exit 2 ;;
    esac
    LEN=$((3 * N))
}

# ffmpeg with every photo decoded once, letterboxed, held with tpad and crossfaded.
ffmpeg_once() {  # $1: output, $2...: output options
    local out=$1; shift
    local inputs=() chain="" prev="" k=0
    while read -r p; do
        inputs+=(-framerate 24000/1001 -i "$p")
        local hold=96; [ $k -eq 0 ] && hold=84
        chain+="[$k:v]scale=$W:$H:force_original_aspect_ratio=decrease,pad=$W:$H:(ow-iw)/2:(oh-ih)/2:black,setsar=1,format=yuv420p,tpad=stop=$hold:stop_mode=clone,fps=24000/1001[v$k];"
        if [ $k -gt 0 ]; then
            chain+="[$prev][v$k]xfade=transition=fade:duration=1:offset=$((3 * k - 1))[x$k];"; prev="x$k"
        else
            prev="v0"
        fi
        k=$((k + 1))
    done < <(photo_list)
    ffmpeg -nostdin -hide_banner -v error -y "${inputs[@]}" -stream_loop -1 -i "$MUSIC" \
        -filter_complex "${chain%;}" -map "[$prev]" -map "$N:a" -t "$LEN" "$@" "$out"
}

measure() {  # $1: name, then the command; RUNS times, the run of median wall time shown
    local name=$1; shift
    local log="$WORK/$name.time" runs=() k
    for ((k = 0; k < RUNS; k++)); do
        if ! /usr/bin/time -v "$@" > "$WORK/$name.out" 2> "$log"; then
            echo "$name failed: $(grep -v -E '^\s' "$log" | head -3)"
            return
        fi
        local wall cpu_u cpu_s rss
        wall=$(grep "Elapsed (wall" "$log" | awk '{print $NF}' | awk -F: '{ if (NF==3) print $1*3600+$2*60+$3; else print $1*60+$2 }')
        cpu_u=$(grep "User time" "$log" | awk '{print $NF}'); cpu_s=$(grep "System time" "$log" | awk '{print $NF}')
        rss=$(grep "Maximum resident" "$log" | awk '{print $NF}')
        runs+=("$wall $(echo "$cpu_u + $cpu_s" | bc) $((rss / 1024))")
    done
    local median
    median=$(printf '%s\n' "${runs[@]}" | sort -n | sed -n "$(( (RUNS + 1) / 2 ))p")
    read -r wall cpu rss <<< "$median"
    local all=""; [ "$RUNS" -gt 1 ] && all="  (walls: $(printf '%s\n' "${runs[@]}" | awk '{print $1}' | sort -n | tr '\n' ' '))"
    printf "%-14s %9.2f %9.2f %9.0f%s\n" "$name" "$wall" "$cpu" "$rss" "$all"
}

gather_material
set_profile
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target kavrel-render -j "$(nproc)" > /dev/null
photo_list > "$WORK/list.txt"
echo "show: $N photos, ${LEN} s, $PROFILE (${W}x${H}), motion $MOTION; music $(basename "$MUSIC")"
SHOW=(--photo-duration 3 --transition-duration 1 --policy same --same 3 --motion "$MOTION" --seed 1 --size "${W}x${H}")
printf "%-14s %9s %9s %9s\n" recipe "wall s" "CPU s" "peak MB"
for r in $RECIPES; do
    case $r in
    kavrel) measure kavrel "$BUILD_DIR/kavrel-render" "${SHOW[@]}" --music "$MUSIC" "${OURS[@]}" \
                -o "$WORK/kavrel.$EXT" "@$WORK/list.txt" ;;
    limit-own)
        # The encoder alone, on the show's own frames: rendered losslessly by kavrel-render, then
        # written out raw (page-cached).
        raw="$WORK/own-$N-${W}x$H-$MOTION-$(md5sum < "$WORK/list.txt" | cut -c1-8).yuv"
        [ -s "$raw" ] || rm -f "$WORK"/own-*.yuv
        if [ ! -s "$raw" ]; then
            "$BUILD_DIR/kavrel-render" "${SHOW[@]}" --video-compressor ffv1 -o "$WORK/own.mkv" "@$WORK/list.txt" > /dev/null
            ffmpeg -nostdin -v error -y -i "$WORK/own.mkv" -f rawvideo -pix_fmt yuv420p "$raw"
        fi
        measure limit-own ffmpeg -nostdin -hide_banner -v error -y -f rawvideo -pix_fmt yuv420p -s "${W}x$H" \
            -framerate 24000/1001 -i "$raw" -stream_loop -1 -i "$MUSIC" -map 0:v -map 1:a -t "$LEN" \
            "${VENC[@]}" "${AENC[@]}" "$WORK/limit-own.$EXT" ;;
    limit)
        # The encoder alone, on the show's own frames written out raw beforehand (page-cached).
        # Named after the photo list, so that other photos never meet stale frames; one kept at a time.
        raw="$WORK/show-$N-${W}x$H-$(md5sum < "$WORK/list.txt" | cut -c1-8).yuv"
        [ -s "$raw" ] || rm -f "$WORK"/show-*.yuv
        # Lossless frames of the show (FFmpeg's decode-once recipe): frames decoded back from a
        # lossy file would be smoother than the show's and cheaper to encode.
        [ -s "$raw" ] || ffmpeg_once "$raw" -an -f rawvideo -pix_fmt yuv420p
        measure limit ffmpeg -nostdin -hide_banner -v error -y -f rawvideo -pix_fmt yuv420p -s "${W}x$H" \
            -framerate 24000/1001 -i "$raw" -stream_loop -1 -i "$MUSIC" -map 0:v -map 1:a -t "$LEN" \
            "${VENC[@]}" "${AENC[@]}" "$WORK/limit.$EXT" ;;
    ffmpeg-once)
        # Timed as one ffmpeg process: the command line is written out first.
        (ffmpeg() { printf '%q ' ffmpeg "$@" > "$WORK/ffmpeg-once.cmd"; }; ffmpeg_once "$WORK/ffmpeg-once.$EXT" "${VENC[@]}" "${AENC[@]}")
        measure ffmpeg-once bash "$WORK/ffmpeg-once.cmd" ;;
    melt)
        # melt 7.12 crashes on a profile without a description line.
        profile="$WORK/mlt-$W"
        printf 'description=kavrel benchmark\nwidth=%s\nheight=%s\nframe_rate_num=24000\nframe_rate_den=1001\nprogressive=1\nsample_aspect_num=1\nsample_aspect_den=1\ndisplay_aspect_num=%s\ndisplay_aspect_den=%s\ncolorspace=601\n' \
            "$W" "$H" "$W" "$H" > "$profile"
        args=(); while read -r p; do args+=("$p" out=95); [ ${#args[@]} -gt 2 ] && args+=(-mix 24 -mixer luma); done < "$WORK/list.txt"
        if [ "$PROFILE" = avi480 ]; then codec=(vcodec=mpeg4 vtag=DIVX qscale=3 acodec=adpcm_ms); else
            codec=(vcodec=libx264 preset=medium crf=20 pix_fmt=yuv420p acodec=aac ab=192k); fi
        measure melt melt -quiet -profile "$profile" "${args[@]}" -audio-track "$MUSIC" \
            -transition mix a_track=0 b_track=1 always_active=1 sum=1 \
            -consumer "avformat:$WORK/melt.$EXT" "${codec[@]}" ar=44100 channels=2 real_time=-2 terminate_on_pause=1 ;;
    esac
done
