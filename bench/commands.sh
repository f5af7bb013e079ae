#!/usr/bin/env bash
# Whole commands of orvixfax on generated books of 10,000 and 100,000
# persons, each timed with hyperfine in one run beside `LC_ALL=C sort` of
# the book's display lines (one a number as the fax dialog shows it, one a
# person without numbers, one a group), with the peak memory of one run.
#
#   bench/commands.sh [--quick] [ORVIXFAX]
#
# ORVIXFAX defaults to build/native/tools/orvixfax/orvixfax (the native
# preset, RelWithDebInfo). --quick runs 10,000 persons only, fewer times.
# Needs hyperfine and GNU time (/usr/bin/time): scripts/setup installs both.
# Prints one table line per shape, size and command: the median time, its
# ratio to the sort, the peak resident memory and its ratio to the book's
# bytes; then each command's time at 100,000 persons over 10,000, and on
# the ordinary book of 100,000 persons after a few idle seconds.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
sizes=(10000 100000)
# Runs a command at 10,000 persons (2 to 90 ms) and at 100,000. The short
# ones get three times as many, so that the median each ratio of 100,000
# over 10,000 divides by moves less with one slow or quick run.
runs_small=33
runs_large=11
idle_seconds=3
runs_idle=3
if [ "${1:-}" = "--quick" ]; then
    sizes=(10000)
    runs_small=3
    shift
fi
orvixfax="$(realpath "${1:-$here/../build/native/tools/orvixfax/orvixfax}")"
for tool in hyperfine /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "commands.sh: $tool is missing (scripts/setup installs it)" >&2; exit 2; }
done
[ -x "$orvixfax" ] || { echo "commands.sh: no $orvixfax (cmake --preset native && cmake --build build/native)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The fax job: one line selected (a book of empty persons shows none: a
# new recipient's number typed instead), then F&ax. The address book: OK
# at once.
printf 'select IDC_FAX_RECIPIENTS #1\nclick IDOK\n' >"$work/fax.script"
printf 'check IDC_FAX_NEW_RECIPIENT\ntype IDC_FAX_NEW_NUMBER "123"\nclick IDOK\n' >"$work/fax-new.script"
printf 'click IDOK\n' >"$work/edit.script"

commands=(fax edit show json resave import)
declare -A seconds

command_line() {  # name, directory
    local dir="$2"
    case "$1" in
    fax)
        local script="$work/fax.script"
        [ "$shape" = empty ] && script="$work/fax-new.script"
        echo "$orvixfax fax --pcl --dir $dir --script $script --out /dev/null" ;;
    edit) echo "$orvixfax book edit --dir $dir --script $work/edit.script" ;;
    show) echo "$orvixfax book show --dir $dir" ;;
    json) echo "$orvixfax book show --json --dir $dir" ;;
    resave) echo "$orvixfax book resave --dir $dir" ;;
    import) echo "$orvixfax book import $dir/../import.csv --dir $dir" ;;
    esac
}

printf '%-11s %8s %8s  %-8s %9s %8s %9s %9s\n' shape persons "book MB" command "median s" "x sort" "peak MB" "x book"
for shape in ordinary reverse huge-group empty; do
    for persons in "${sizes[@]}"; do
        case="$work/$shape-$persons"
        mkdir -p "$case/book"
        LC_ALL=C awk -v shape="$shape" -v persons="$persons" -v lines="$case/lines.txt" \
            -f "$here/generate_book.awk" >"$case/book.adb"
        cp "$case/book.adb" "$case/book/OrvixFax.adb"
        # Import: every row of the book again with another number, so every
        # row finds its person and adds a number.
        "$orvixfax" book export "$case/exported.csv" --dir "$case/book" >/dev/null
        sed 's/+49 30 /+41 31 /' "$case/exported.csv" >"$case/import.csv"
        book_bytes=$(stat -c %s "$case/book.adb")

        runs=$runs_large
        [ "$persons" -le 10000 ] && runs=$runs_small
        hyperfine_args=(--style none --warmup 1 --runs "$runs" -N --export-csv "$case/times.csv"
                        --prepare "cp $case/book.adb $case/book/OrvixFax.adb"
                        -n sort "env LC_ALL=C sort $case/lines.txt -o /dev/null")
        for name in "${commands[@]}"; do
            hyperfine_args+=(-n "$name" "$(command_line "$name" "$case/book")")
        done
        hyperfine "${hyperfine_args[@]}" >/dev/null 2>"$case/hyperfine.log" ||
            { cat "$case/hyperfine.log" >&2; exit 1; }

        sort_median=$(awk -F, '$1 == "sort" { print $4 }' "$case/times.csv")
        printf '%-11s %8d %8.2f  %-8s %9.3f %8s %9s %9s\n' "$shape" "$persons" \
            "$(echo "$book_bytes" | awk '{ print $1 / 1e6 }')" sort "$sort_median" 1 - -
        for name in "${commands[@]}"; do
            median=$(awk -F, -v n="$name" '$1 == n { print $4 }' "$case/times.csv")
            seconds[$shape,$persons,$name]=$median
            cp "$case/book.adb" "$case/book/OrvixFax.adb"
            peak_kb=$( { /usr/bin/time -f 'peak %M' $(command_line "$name" "$case/book") >/dev/null; } 2>&1 | awk '$1 == "peak" { print $2 }' )
            awk -v shape="$shape" -v persons="$persons" -v name="$name" -v median="$median" \
                -v sort_median="$sort_median" -v peak="$peak_kb" -v book="$book_bytes" 'BEGIN {
                printf "%-11s %8d %8s  %-8s %9.3f %8.1f %9.1f %9.1f\n", shape, persons, "", name,
                       median, median / sort_median, peak / 1024, peak * 1024 / book }'
        done
    done
done

if [ ${#sizes[@]} -eq 2 ]; then
    echo
    printf '%-11s' "100k / 10k"
    for name in "${commands[@]}"; do printf ' %8s' "$name"; done
    echo
    for shape in ordinary reverse huge-group empty; do
        printf '%-11s' "$shape"
        for name in "${commands[@]}"; do
            awk -v a="${seconds[$shape,100000,$name]}" -v b="${seconds[$shape,10000,$name]}" \
                'BEGIN { printf " %8.1f", a / b }'
        done
        echo
    done

    # A command met at a desk runs after a pause, not straight after
    # itself. Some virtual machines hand memory idle for a second or two
    # back to their host, which then makes it again page by page.
    echo
    echo "ordinary book of 100,000 persons, each run after $idle_seconds idle seconds ($runs_idle runs)"
    printf '%-8s %9s %14s\n' command "median s" "x back to back"
    shape=ordinary case="$work/ordinary-100000"  # command_line reads the shape
    for name in "${commands[@]}"; do
        hyperfine --style none --runs "$runs_idle" -N --export-csv "$case/idle.csv" \
            --prepare "sh -c 'sleep $idle_seconds && cp $case/book.adb $case/book/OrvixFax.adb'" \
            -n "$name" "$(command_line "$name" "$case/book")" >/dev/null 2>"$case/hyperfine.log" ||
            { cat "$case/hyperfine.log" >&2; exit 1; }
        awk -F, -v name="$name" -v back="${seconds[ordinary,100000,$name]}" '$1 == name {
            printf "%-8s %9.3f %14.1f\n", name, $4, $4 / back }' "$case/idle.csv"
    done
fi
echo
echo "orvixfax: $orvixfax"
echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
