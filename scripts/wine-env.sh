# Sourced by scripts/wine-run and scripts/wine-session.sh: the environment every Wine program of
# the project runs in. Expects $wine_env_root, the project's folder.
export WINEPREFIX="${WINEPREFIX:-$wine_env_root/build/windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"  # no Mono or Gecko prompts
# Wine names Unix files in the locale's character set: a bare machine has no UTF-8 locale set,
# and then paths with non-ASCII letters cannot be opened.
case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
  *UTF-8* | *utf8*) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac
