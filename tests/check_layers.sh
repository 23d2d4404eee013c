#!/usr/bin/env bash
# The app folders reach the outside world only through the platform, and a
# layer includes only the layers below it. Standard C and C++ headers are
# allowed; SDL, FreeType, fontconfig, POSIX and the like are not.
set -u
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root/src" || exit 1

# folder: the folders it may include from (besides itself)
declare -A allowed=(
  [content]="platform"
  [view]="platform content"
  [settings]="platform"
  [bookmarks]="platform settings"
  [index]="platform content view settings bookmarks"
  [search]="platform content view settings"
  [export]="platform content view settings"
  [shell]="platform content view settings bookmarks index search export"
)
# The platform's public interface: what the app may include of it.
public="platform.h types.h clipboard.h shellapi.h memory.h resource.h dialogs.h gdi.h registry.h user.h controls.h menus.h shell.h"
std='^(algorithm|array|bit|cassert|cctype|cerrno|climits|cstdarg|cstddef|cstdint|cstdio|cstdlib|cstring|cwchar|initializer_list|iterator|limits|new|type_traits|utility)$'

status=0
for dir in "${!allowed[@]}"; do
  [ -d "$dir" ] || continue
  while IFS= read -r line; do
    file=${line%%:*}
    inc=$(sed -E 's/.*#include *[<"]([^>"]+)[>"].*/\1/' <<<"$line")
    if [[ $line == *'#include <'* ]]; then
      if ! grep -q -E "$std" <<<"$inc"; then
        echo "$file: includes <$inc>: app code uses the platform, not system headers"
        status=1
      fi
      continue
    fi
    top=${inc%%/*}
    [ "$top" = "$dir" ] && continue
    if [[ " ${allowed[$dir]} " != *" $top "* ]]; then
      echo "$file: includes \"$inc\": $dir may include only from: ${allowed[$dir]}"
      status=1
    fi
    if [[ $top == platform && " $public " != *" ${inc#platform/} "* ]]; then
      echo "$file: includes \"$inc\": that is the platform's own, not its public interface"
      status=1
    fi
  done < <(grep -H -E '^\s*#\s*include' -r "$dir" --include='*.h' --include='*.cpp')
done
exit $status
