# shellcheck shell=bash
# Sourced by scripts/bootstrap: installing i386 packages (wine32) while a mirror's i386 lists
# lag behind its amd64 ones. A Multi-Arch: same library must be installed at exactly the same
# version for both architectures; when the amd64 copy came from an update the i386 lists do
# not offer yet, apt never downgrades it by itself and gives up with "unmet dependencies".
# Such a library is paired: both architectures asked for at the highest version both offer.
# Everything comes from the signed lists apt already trusts; nothing is ever removed.
#
#   vorlund_unmet_i386                 reads apt-get's answer on stdin; prints the i386
#                                      packages its unmet dependencies name, one a line
#   vorlund_pair_version PACKAGE       prints the version to pair PACKAGE at, when it needs a
#                                      pair (VORLUND_APT_TARGET is the release apt prefers)
#   vorlund_pairs_for PACKAGE...       prints "PACKAGE VERSION" for each that needs a pair;
#                                      where none of them does, for the i386 libraries they
#                                      need
#   vorlund_install_i386_paired PKG:i386...
#                                      installs them from VORLUND_APT_TARGET with the pairs
#                                      apt's answers call for; says what it paired, and
#                                      records each library it moved back to an older version
#   vorlund_move_forward               installs each recorded library again at the newest
#                                      version both architectures offer, once that is newer
#   vorlund_report_moved_back          prints, loudly, each library still moved back
#
# A pair below the installed amd64 version undoes that update's fixes (security ones
# included) until both architectures offer it. VORLUND_MOVED_BACK is the record: one
# "PACKAGE VERSION-IT-HAD" a line.

VORLUND_APT_TARGET=${VORLUND_APT_TARGET:-$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")}
# The files apt reads its sources from; none may take a list nobody signed.
VORLUND_APT_SOURCES=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
VORLUND_MOVED_BACK=${VORLUND_MOVED_BACK:-/var/lib/vorlund/moved-back}

vorlund_unmet_i386() {
  sed -n '/unmet dependencies:/,$p' | grep -oE '[a-z0-9][a-z0-9.+~-]*:i386' | sed 's/:i386$//' | sort -u
}

# The versions of PACKAGE:ARCH the lists offer, one a line.
vorlund_offered() {
  apt-cache madison "$1:$2" 2>/dev/null | awk -F'|' '{ gsub(/ /, "", $2); print $2 }' | sort -u
}

vorlund_pair_version() {
  local name=$1 installed candidate
  [ "$(dpkg-query -W -f='${Status}' "$name:amd64" 2>/dev/null)" = "install ok installed" ] || return 1
  # grep reads to the end: under pipefail, one that quits early fails the pipe it ends.
  apt-cache show "$name:i386" 2>/dev/null | grep -x 'Multi-Arch: same' >/dev/null || return 1
  installed=$(dpkg-query -W -f='${Version}' "$name:amd64")
  candidate=$(apt-cache ${VORLUND_APT_TARGET:+-t "$VORLUND_APT_TARGET"} policy "$name:i386" 2>/dev/null |
              awk '$1 == "Candidate:" { print $2; exit }')
  # apt matches the two itself when it can: by upgrading the amd64 copy to what i386 gets.
  [ -n "$candidate" ] && [ "$candidate" != "(none)" ] || return 1
  [ "$candidate" = "$installed" ] && return 1
  if dpkg --compare-versions "$candidate" gt "$installed" &&
     vorlund_offered "$name" amd64 | grep -xF "$candidate" >/dev/null; then
    return 1
  fi
  vorlund_newest_common "$name"
}

# The newest version of PACKAGE both architectures offer; fails when there is none.
vorlund_newest_common() {
  local common best='' version
  common=$(comm -12 <(vorlund_offered "$1" i386) <(vorlund_offered "$1" amd64))
  for version in $common; do
    if [ -z "$best" ] || dpkg --compare-versions "$version" gt "$best"; then best=$version; fi
  done
  [ -n "$best" ] && echo "$best"
}

vorlund_pairs_for() {
  local name version found=0 deep
  for name in "$@"; do
    if version=$(vorlund_pair_version "$name"); then echo "$name $version"; found=1; fi
  done
  [ $found -eq 1 ] && return 0
  # apt may name a package whose own version is fine but one of whose libraries is not.
  deep=$(apt-cache depends --recurse --important "${@/%/:i386}" 2>/dev/null |
         sed -n 's/^\([^ <][^ ]*\):i386$/\1/p' | sort -u)
  for name in $deep; do
    if version=$(vorlund_pair_version "$name"); then echo "$name $version"; fi
  done
}

# The packages apt's simulated answer would downgrade, one a line.
vorlund_downgrades() {
  sed -n '/will be DOWNGRADED:/,/^[^ ]/p' | sed -n 's/^ \+//p' | tr ' ' '\n' | sed '/^$/d'
}

vorlund_install_i386_paired() {
  local args=() pairs=() paired=" " answer name version line round added unmet=()
  if grep -qsiE 'trusted *= *yes|^ *Trusted: *yes' "${VORLUND_APT_SOURCES[@]}"; then
    echo "bootstrap: a source is marked trusted=yes; no pairing from lists nobody signed" >&2
    return 1
  fi
  [ -n "$VORLUND_APT_TARGET" ] || { echo "bootstrap: no release to prefer (/etc/os-release)" >&2; return 1; }
  for round in 1 2 3 4 5 6 7 8; do
    args=("$@")
    for line in "${pairs[@]}"; do
      read -r name version <<<"$line"
      args+=("$name:amd64=$version" "$name:i386=$version")
    done
    answer=$(LC_ALL=C apt-get install -s --no-install-recommends --allow-downgrades \
             -t "$VORLUND_APT_TARGET" "${args[@]}" 2>&1) && break
    mapfile -t unmet < <(vorlund_unmet_i386 <<<"$answer")
    added=0
    while read -r name version; do
      if [ -z "$name" ] || [ "${paired/ $name /}" != "$paired" ]; then continue; fi
      paired+="$name "
      pairs+=("$name $version")
      added=1
    done < <([ ${#unmet[@]} -eq 0 ] || vorlund_pairs_for "${unmet[@]}")
    if [ $added -eq 0 ] || [ "$round" -eq 8 ]; then
      echo "bootstrap: no library version both architectures offer satisfies apt:" >&2
      sed -n '/unmet dependencies:/,$p' <<<"$answer" >&2
      return 1
    fi
  done
  # Never a removal, and a downgrade only of a library paired here.
  if ! grep -qE '^[0-9]+ upgraded, [0-9]+ newly installed, .* 0 to remove' <<<"$answer"; then
    echo "bootstrap: installing $* would remove packages; not done:" >&2
    grep -E 'to remove|^Remv' <<<"$answer" >&2
    return 1
  fi
  while read -r name; do
    if [ -z "$name" ] || [ "${paired/ ${name%:*} /}" != "$paired" ]; then continue; fi
    echo "bootstrap: installing $* would downgrade $name, which is not paired here; not done" >&2
    return 1
  done < <(vorlund_downgrades <<<"$answer")
  local had moved=()
  for line in "${pairs[@]}"; do
    read -r name version <<<"$line"
    had=$(dpkg-query -W -f='${Version}' "$name:amd64")
    echo "bootstrap: paired $name:amd64 and $name:i386 at $version (amd64 had $had)"
    ! dpkg --compare-versions "$version" lt "$had" || moved+=("$name $had")
  done
  vorlund_apt_install_pairs "$@" -- "${pairs[@]}" || return 1
  [ ${#moved[@]} -eq 0 ] || vorlund_record_moved_back "${moved[@]}"
}

# vorlund_apt_install_pairs [PKG...] -- "PACKAGE VERSION"...: installs the packages with both
# architectures of each pair at its version, from VORLUND_APT_TARGET, removing nothing.
vorlund_apt_install_pairs() {
  local sudo=${SUDO:-} args=() pairs=() manual=() name version line
  while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1"); shift; done
  shift
  pairs=("$@")
  for line in "${pairs[@]}"; do
    read -r name version <<<"$line"
    args+=("$name:amd64=$version" "$name:i386=$version")
    [ -z "$(apt-mark showmanual "$name:amd64")" ] || manual+=("$name:amd64")
  done
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends --no-remove \
    --allow-downgrades -o DPkg::Lock::Timeout=600 -t "$VORLUND_APT_TARGET" "${args[@]}" >/dev/null || return 1
  # Named on the command line, the paired libraries would count as asked for by hand; they
  # stay what they were, installed for what needs them.
  for line in "${pairs[@]}"; do
    read -r name version <<<"$line"
    [[ " ${manual[*]} " == *" $name:amd64 "* ]] || $sudo apt-mark auto "$name:amd64" >/dev/null
    $sudo apt-mark auto "$name:i386" >/dev/null
  done
}

# Adds "PACKAGE VERSION-IT-HAD" lines to the record (a package already there keeps the
# version it had first).
vorlund_record_moved_back() {
  local sudo=${SUDO:-} line
  $sudo mkdir -p "$(dirname "$VORLUND_MOVED_BACK")" || return 1
  for line in "$@"; do
    grep -q "^${line%% *} " "$VORLUND_MOVED_BACK" 2>/dev/null || echo "$line"
  done | $sudo tee -a "$VORLUND_MOVED_BACK" >/dev/null
}

vorlund_move_forward() {
  local name had now best kept=() pairs=()
  [ -s "$VORLUND_MOVED_BACK" ] || return 0
  while read -r name had; do
    [ -n "$name" ] || continue
    now=$(dpkg-query -W -f='${Version}' "$name:amd64" 2>/dev/null) || continue
    if best=$(vorlund_newest_common "$name") && dpkg --compare-versions "$best" gt "$now"; then
      pairs+=("$name $best")
      now=$best
    fi
    dpkg --compare-versions "$now" ge "$had" || kept+=("$name $had")
  done <"$VORLUND_MOVED_BACK"
  if [ ${#pairs[@]} -gt 0 ]; then
    echo "bootstrap: moving forward again: ${pairs[*]}"
    vorlund_apt_install_pairs -- "${pairs[@]}" || return 1
  fi
  if [ ${#kept[@]} -eq 0 ]; then
    ${SUDO:-} rm -f "$VORLUND_MOVED_BACK"
  else
    printf '%s\n' "${kept[@]}" | ${SUDO:-} tee "$VORLUND_MOVED_BACK" >/dev/null
  fi
}

vorlund_report_moved_back() {
  local name had
  [ -s "$VORLUND_MOVED_BACK" ] || return 0
  echo "bootstrap: ================================================================"
  while read -r name had; do
    [ -z "$name" ] || echo "bootstrap: !! $name MOVED BACK from $had to" \
      "$(dpkg-query -W -f='${Version}' "$name:amd64" 2>/dev/null) (amd64 and i386): the fixes of $had are undone"
  done <"$VORLUND_MOVED_BACK"
  echo "bootstrap: !! run scripts/bootstrap again later: it moves them forward once both architectures offer a newer version"
  echo "bootstrap: ================================================================"
}
