# Sourced by tools/build-deps.sh and tools/build-font-deps.sh: Debian's own
# source packages, fetched through a private apt configuration (its own
# deb-src list, package lists and cache under the work folder), so the
# machine's apt setup is neither needed nor touched.
#
#   debian_sources WHO WORK PACKAGE...   unpacks each package into WORK/src
#   source_dir WHO WORK NAME-GLOB        prints the unpacked source folder

debian_sources() {
  local who=$1 work=$2 package codename
  shift 2
  # The machine's Debian mirror and release, as apt itself reports them, with
  # its -security and -updates suites where the machine uses them.
  codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/parts" "$work/src"
  apt-cache policy | awk -v c="$codename" '$NF == "Packages" && $3 ~ ("^" c "(-security|-updates)?/main$") {
      split($3, s, "/"); print "deb-src " $2 " " s[1] " main" }' | sort -u > "$work/sources.list"
  if ! grep -q " $codename main" "$work/sources.list"; then
    echo "$who: no apt source for $codename/main found" >&2
    exit 1
  fi
  echo "$who: sources from $(tr '\n' ';' < "$work/sources.list")" >&2
  local apt_private=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/parts"
                     -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache"
                     -o "Acquire::Languages=none" -o "APT::Sandbox::User=root")
  apt-get "${apt_private[@]}" -qq update >&2
  # A mirror may carry a suite's binary packages without its sources: the
  # release's own source then stands in (and is named).
  for package in "$@"; do
    (cd "$work/src" && apt-get "${apt_private[@]}" -qq source "$package" 2>"$work/fetch.log" >&2) || {
      echo "$who: $package's newest source not on the mirror, $codename's used" >&2
      (cd "$work/src" && apt-get "${apt_private[@]}" -qq source "$package/$codename" >&2)
    }
  done
}

source_dir() {
  local dir
  dir="$(find "$2/src" -mindepth 1 -maxdepth 1 -type d -name "$3" | head -1)"
  [ -n "$dir" ] || { echo "$1: no source for $3 unpacked" >&2; exit 1; }
  echo "$dir"
}
