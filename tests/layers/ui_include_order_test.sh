#!/usr/bin/env bash
# The folders of program/ui include one another one way only, lowest first:
# each folder includes only itself and the folders before it in `order`, so
# no include cycle can form between them. A folder missing from `order`
# fails the test, so that a new one is given its place.
set -euo pipefail
ui=${1:?usage: ui_include_order_test.sh <program/ui folder>}
order=(platform widgets grid dialogs main_window)

rank() {
    local i
    for i in "${!order[@]}"; do
        if [[ ${order[$i]} == "$1" ]]; then
            echo "$i"
            return
        fi
    done
    echo -1
}

failed=0
for dir in "$ui"/*/; do
    folder=$(basename "$dir")
    if [[ $(rank "$folder") -lt 0 ]]; then
        echo "ui/$folder has no place in the include order (${order[*]})"
        failed=1
    fi
done

for folder in "${order[@]}"; do
    [[ -d $ui/$folder ]] || continue
    own=$(rank "$folder")
    # file:line:#include "ui/<folder>/..."
    while IFS= read -r hit; do
        included=${hit#*\"ui/}
        included=${included%%/*}
        theirs=$(rank "$included")
        if [[ $theirs -lt 0 || $theirs -gt $own ]]; then
            echo "${hit#"$ui"/}: ui/$folder may include only ${order[*]:0:own+1}"
            failed=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"ui/[^/"]+/' "$ui/$folder" || true)
done

if [[ $failed -ne 0 ]]; then
    echo "include order of program/ui broken (lowest first: ${order[*]})"
    exit 1
fi
echo "program/ui includes run one way: ${order[*]}"
