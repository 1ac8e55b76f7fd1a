#!/usr/bin/env bash
# The platform seam. Every file under src/ is followed through its project-local includes, all
# the way down, so a platform header reached through another header counts as included.
# - Only the SDL2, Windows and browser backends (src/platform/sdl2, src/platform/win32,
#   src/platform/web) and the entry points (src/main) may reach SDL, Windows, X11 or Emscripten
#   headers.
# - The core (everything else but src/platform/<backend>/) reaches no backend's file.
# - src/platform reaches nothing outside src/platform but src/base, the header-only helpers
#   (ASCII case fold, virtual-key codes) that sit below every library.
# - Only the shell (src/app) takes the whole platform (platform/platform.h); the other modules
#   take the small services they call (message sink, beeper, clock, window host, ring devices).
set -u
cd "$(dirname "$0")/.."

platform_header='^(SDL[^">]*|windows\.h|winuser\.h|wingdi\.h|mmsystem\.h|ddraw\.h|X11/[^">]*|emscripten[^">]*)$'
mapfile -t files < <(find src -name '*.h' -o -name '*.cpp' | sort)

# The direct includes of every file: project-local ones resolved to paths (against src/, then
# the including file's folder), system ones kept as "<name>".
declare -A direct
include_line='^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^">]*)[">]'
for f in "${files[@]}"; do
    list=""
    dir=${f%/*}
    while IFS= read -r line; do
        [[ $line =~ $include_line ]] || continue
        name=${BASH_REMATCH[2]}
        if [[ ${BASH_REMATCH[1]} == '"' && -f src/$name ]]; then
            list+=" src/$name"
        elif [[ ${BASH_REMATCH[1]} == '"' && -f $dir/$name ]]; then
            list+=" $(realpath --relative-to=. "$dir/$name")"
        else
            list+=" <$name>"
        fi
    done <"$f"
    direct[$f]=$list
done

# Fills seen with everything f reaches, f itself excluded.
declare -A seen
reach() {
    seen=()
    local queue=("$1") i=0 inc
    while ((i < ${#queue[@]})); do
        for inc in ${direct[${queue[i]}]:-}; do
            [[ -n ${seen[$inc]:-} ]] && continue
            seen[$inc]=1
            [[ $inc == src/* ]] && queue+=("$inc")
        done
        ((++i))
    done
}

failures=()
for f in "${files[@]}"; do
    reach "$f"
    for hit in "${!seen[@]}"; do
        if [[ $hit == \<* ]]; then
            name=${hit:1:-1}
            [[ $name =~ $platform_header ]] || continue
            case $f in
                src/platform/sdl2/* | src/platform/win32/* | src/platform/web/* | src/main/*) ;;
                *) failures+=("$f reaches the platform header <$name>") ;;
            esac
            continue
        fi
        case $f in
            src/platform/*/* | src/main/*) ;;
            *) [[ $hit == src/platform/*/* ]] && failures+=("$f reaches the backend file $hit") ;;
        esac
        case $f in
            src/platform/*)
                [[ $hit == src/platform/* || $hit == src/base/* ]] ||
                    failures+=("$f, in the platform layer, reaches $hit")
                ;;
        esac
        case $f in
            src/platform/* | src/app/* | src/main/*) ;;
            *)
                [[ $hit == src/platform/platform.h ]] &&
                    failures+=("$f reaches the whole platform (platform/platform.h)")
                ;;
        esac
    done
done

if ((${#failures[@]})); then
    echo "platform seam broken:"
    printf '  %s\n' "${failures[@]}"
    exit 1
fi
echo "platform seam: ${#files[@]} files followed through their includes; the core reaches no" \
    "platform header and no backend"
