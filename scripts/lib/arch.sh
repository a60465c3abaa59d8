# Sourced by the scripts: which of Vorlund's two builds this machine can run under Wine.
#
# Found by trying, never assumed: some x86-64 machines cannot execute 32-bit Linux programs
# at all, so 32-bit Wine fails there with "Exec format error" whatever is installed.
#   vorlund_choose_archs   sets VORLUND_ARCHS (win32 and/or win64, 32-bit first) and
#                          VORLUND_ARCH_NOTE (why an architecture is left out, or empty)
#   vorlund_preset ARCH    the CMake preset of that build (its directory is build/<preset>)

vorlund_preset() {
  case $1 in
    win32) echo linux-win32 ;;
    win64) echo linux-x64 ;;
  esac
}

# Prints nothing and succeeds when LOADER starts; otherwise prints why it does not.
vorlund_loader_fails() {
  local loader=$1 out
  if [ ! -x "$loader" ]; then echo "$loader is not installed (scripts/bootstrap could not install it)"; return 0; fi
  if out=$("$loader" --version 2>&1); then return 1; fi
  case $out in
    *"Exec format error"*) echo "this machine cannot execute 32-bit code ($loader: Exec format error)" ;;
    *) echo "$loader does not start: $(head -n 1 <<<"$out")" ;;
  esac
  return 0
}

vorlund_choose_archs() {
  VORLUND_ARCHS=()
  VORLUND_ARCH_NOTE=
  local why
  if why=$(vorlund_loader_fails /usr/lib/wine/wine); then
    VORLUND_ARCH_NOTE="32-bit (win32) skipped: $why"
  else
    VORLUND_ARCHS+=(win32)
  fi
  if why=$(vorlund_loader_fails /usr/lib/wine/wine64); then
    VORLUND_ARCH_NOTE="${VORLUND_ARCH_NOTE:+$VORLUND_ARCH_NOTE; }64-bit (win64) skipped: $why"
  else
    VORLUND_ARCHS+=(win64)
  fi
}
