#!/bin/sh
# Stands in for glarewright-edit where the tests press "Edit Lens...": it
# checks how the plug-in hands over the lens (one argument, a lens file in a
# folder of its own that only this user may enter), keeps a copy of what it
# got in $STANDIN_RECEIVED (and of the background picture, when it is
# given one, in $STANDIN_BACKGROUND), then does what $STANDIN_DOES says, as the editor
# would: OK (exit 0) with the file as it is or replaced by another lens, or
# kept in another file it names on standard output,
# Cancel (exit 1) even after changing the file, an error (exit 2) with a
# line on stderr, a crash, or being killed. A broken handover exits 3.
set -u
refuse() { echo "stand-in editor: $*" >&2; exit 3; }
background=""
if [ $# -eq 3 ] && [ "$2" = --background ]; then
  background="$3"
  [ -f "$background" ] || refuse "$background is not a file"
  [ "$(dirname "$background")" = "$(dirname "$1")" ] || refuse "$background is not in the lens's folder"
elif [ $# -ne 1 ]; then
  refuse "expected FILE [--background PICTURE], got $*"
fi
file="$1"
folder="$(dirname "$file")"
[ -f "$file" ] || refuse "$file is not a file"
[ "$(stat -c %a "$folder")" = 700 ] || refuse "$folder may be entered by others"
[ "$(stat -c %u "$folder")" = "$(id -u)" ] || refuse "$folder belongs to someone else"
[ "$(head -c 4 "$file" | od -An -tx1 | tr -d ' \n')" = 47570000 ] || refuse "not a lens file"
if [ -n "${STANDIN_RECEIVED:-}" ]; then cp "$file" "$STANDIN_RECEIVED"; fi
if [ -n "${STANDIN_BACKGROUND:-}" ] && [ -n "$background" ]; then
  cp "$background" "$STANDIN_BACKGROUND"
fi
case "${STANDIN_DOES:-}" in
  ok) exit 0 ;;
  ok-with=*) cp "${STANDIN_DOES#ok-with=}" "$file" && exit 0 ;;
  ok-damaged) printf 'GW\000\001' > "$file" && exit 0 ;;
  ok-elsewhere=*) echo "The lens was kept in ${STANDIN_DOES#ok-elsewhere=}"; exit 0 ;;
  cancel-after=*) cp "${STANDIN_DOES#cancel-after=}" "$file" && exit 1 ;;
  fail) echo "glarewright edit: something went wrong" >&2; exit 2 ;;
  crash) kill -SEGV $$ ;;
  killed) kill -KILL $$ ;;
esac
refuse "STANDIN_DOES='${STANDIN_DOES:-}' is not something it does"
