# The benchmark show's material, gathered once: wallpapers of at least 2 megapixels from Debian's
# wallpaper packages (one per distinct image, its largest variant) linked into $MAT/photos, and a
# track of asc-music in $MUSIC. Installs what is missing (needs root or sudo once), with the peers
# the benchmarks compare against (ffmpeg, melt, time).
#
# Sourced by the benchmarks: . bench/material.sh; gather_material (or gather_music, the track alone)
MAT=${MAT:-/tmp/kavrel-bench/show-material}
mkdir -p "$MAT/photos"

# Installs those of the given Debian packages that are missing.
install_packages() {
    local need=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
    done
    if [ ${#need[@]} -gt 0 ]; then
        local sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
        "${sudo[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
    fi
}

gather_material() {
    local photo_pkgs="mate-backgrounds plasma-workspace-wallpapers ukui-wallpapers lomiri-wallpapers-20.04"
    install_packages $photo_pkgs asc-music ffmpeg melt time
    if [ -z "$(ls "$MAT/photos")" ]; then
        # One file per distinct image of at least 2 megapixels, its largest variant, in name order.
        # Plasma keeps the variants of NAME in .../wallpapers/NAME/contents/images[_dark]/WxH.jpg,
        # the other packages as NAME.jpg or NAME_WxH.jpg.
        declare -A pixels=() chosen=()
        local f wh px key
        for f in $(dpkg -L $photo_pkgs | grep -iE '\.jpe?g$' | grep -v screenshot | sort); do
            [ -s "$f" ] || continue
            wh=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$f") || continue
            px=$(( ${wh%,*} * ${wh#*,} ))
            [ "$px" -ge 2000000 ] || continue
            if [[ $f == */wallpapers/*/contents/* ]]; then
                key=$(sed -E 's#.*/wallpapers/([^/]+)/contents/images(_dark)?/.*#\1\2#' <<< "$f")
            else
                key=$(basename "$f" | sed -E 's/\.[^.]+$//; s/_[0-9]+x[0-9]+$//')
            fi
            if [ "${pixels[$key]:-0}" -lt "$px" ]; then pixels[$key]=$px; chosen[$key]=$f; fi
        done
        local i=0
        for key in $(printf '%s\n' "${!chosen[@]}" | sort); do
            i=$((i + 1)); ln -sf "${chosen[$key]}" "$MAT/photos/$(printf '%02d' $i)-$key.jpg"
        done
    fi
    gather_music
}

# The track of asc-music in $MUSIC, alone.
gather_music() {
    install_packages asc-music ffmpeg
    MUSIC=$(dpkg -L asc-music | grep -iE 'machine_wars\.mp3$' | head -1)
    [ -n "$MUSIC" ] || MUSIC=$(dpkg -L asc-music | grep -iE '\.mp3$' | head -1)
}

# 15 of the photos at 4000 × 3000 (12 megapixels, as a camera takes them) in $1, made once.
camera_photos() {
    mkdir -p "$1"
    local i=0 f out
    for f in $(ls "$MAT"/photos/*.jpg | head -15); do
        out=$(printf '%s/%02d.jpg' "$1" "$i")
        [ -s "$out" ] || ffmpeg -v error -y -i "$f" -vf scale=4000:3000 -q:v 2 "$out"
        i=$((i + 1))
    done
}

# Photos with faces in $1, made once: dlib's example photos with faces and matplotlib's portrait,
# each 4000 pixels long as a camera takes them, and 16:9 photos of 3840 × 2160 composed from a
# wallpaper and the portrait: the face at the very left edge, at the top right corner, and two
# faces far apart across a panorama of 4800 × 1200 (more than a 16:9 crop can hold).
face_photos() {
    install_packages libdlib-dev python-matplotlib-data ffmpeg
    mkdir -p "$1"
    local examples=/usr/share/doc/libdlib19.1/examples/faces
    local hopper=/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg
    local wall f out
    wall=$(ls "$MAT"/photos/*.jpg | head -1)
    for f in "$examples"/2008_00*.jpg "$examples"/2009_004587.jpg "$examples"/bald_guys.jpg "$hopper"; do
        out="$1/$(basename "$f")"
        [ -s "$out" ] || ffmpeg -v error -y -i "$f" -q:v 2 \
            -vf "scale='if(gte(iw,ih),4000,-2)':'if(gte(iw,ih),-2,4000)':flags=lanczos" "$out"
    done
    compose() {  # $1: output, $2: size, $3: portrait height, $4: its place, [$5: a smaller one's place]
        [ -s "$1" ] && return
        local graph="[0]scale=$2,setsar=1[b];[1]scale=-2:$3[p];[b][p]overlay=$4"
        [ -n "${5:-}" ] && graph+="[m];[1]scale=-2:$(( $3 * 5 / 6 ))[q];[m][q]overlay=$5"
        ffmpeg -v error -y -i "$wall" -i "$hopper" -q:v 2 -filter_complex "$graph" -frames:v 1 "$1"
    }
    compose "$1/edge-left.jpg" 3840:2160 1300 0:400
    compose "$1/corner-top-right.jpg" 3840:2160 1100 W-w:0
    compose "$1/panorama-two.jpg" 4800:1200 1200 0:0 W-w:H-h
}
