#!/usr/bin/env bash
# install-deps.sh: installs with apt-get whatever the build and the tests need and this machine lacks,
# the 32-bit Wine for the shipped file included, and on a machine that runs no i386 code itself a qemu
# to run that Wine through (build/tools/qemu-i386). Generates the English, German and Japanese UTF-8
# locales, without which Wine cannot name a file outside ASCII (nor give a program code page 932).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

packages=(
  cmake ninja-build googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 wine32:i386 xvfb x11-utils imagemagick
  python3 clang libclang-rt-14-dev locales
)

SUDO=""
[ "$(id -u)" = 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tests run Wine under LC_ALL=en_US.UTF-8, de_DE.UTF-8 and ja_JP.UTF-8. Without those locales on the
# host, Wine takes Unix file names for ASCII and cannot create a folder such as "Łódź".
for name in en_US de_DE ja_JP; do
  locale -a 2>/dev/null | grep -qix "$name.utf-\?8" || $SUDO localedef -i "$name" -f UTF-8 "$name.UTF-8"
done

# A 32-bit program started through qemu 7.2 (Debian 12's) takes about a minute: qemu takes the
# MAP_FIXED_NOREPLACE with which Wine reserves its address space for a mere hint, places the blocks
# elsewhere, and Wine goes on to probe the upper 2 GiB in 64 KiB steps. qemu 10.0 honours the flag and
# the start takes a second. Where the system's qemu is older, the one of Debian's backports is fetched
# (with a private apt state, leaving the system's sources and packages alone) and only its qemu-i386
# is kept. It comes from the mirror that already serves the system's release, as apt reads it from the
# system's sources in either format, so a machine with a mirror or proxy of its own works unchanged.
qemu_is_recent() {
  local major
  major=$("$1" --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\)\..*/\1/p')
  [ -n "$major" ] && [ "$major" -ge 10 ]
}

. scripts/wine-session.sh
tools=$root/build/tools
if ! wine_i386_native && ! qemu_is_recent "$tools/qemu-i386"; then
  mkdir -p "$tools"
  for system_qemu in /usr/bin/qemu-i386-static /usr/bin/qemu-i386; do
    if qemu_is_recent "$system_qemu"; then ln -sfn "$system_qemu" "$tools/qemu-i386"; break; fi
  done
  if ! qemu_is_recent "$tools/qemu-i386"; then
    . /etc/os-release
    suite=$VERSION_CODENAME-backports
    mirror=$(apt-get indextargets --format '$(TARGET_OF) $(RELEASE) $(COMPONENT) $(REPO_URI)' 2>/dev/null |
             awk -v release="$VERSION_CODENAME" '$1 == "deb" && $2 == release && $3 == "main" { print $4; exit }')
    if [ -z "$mirror" ]; then
      echo "install-deps: no apt source of this system serves $VERSION_CODENAME main, so $suite is not known" >&2
      exit 1
    fi
    echo "install-deps: fetching qemu-i386 from $suite at $mirror into $tools"
    apt_dir=$tools/apt
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    echo "deb [arch=$(dpkg --print-architecture) signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main" \
      >"$apt_dir/sources.list"
    apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
                 -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User="$(id -un)")
    apt-get "${apt_options[@]}" update -qq ||
      { echo "install-deps: $mirror does not serve $suite" >&2; exit 1; }
    (cd "$apt_dir" && apt-get "${apt_options[@]}" download -qq "qemu-user/$suite")
    dpkg-deb --fsys-tarfile "$apt_dir"/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 >"$tools/qemu-i386.new"
    chmod +x "$tools/qemu-i386.new"
    rm -f "$tools/qemu-i386"
    mv "$tools/qemu-i386.new" "$tools/qemu-i386"
    rm -rf "$apt_dir"
  fi
  qemu_is_recent "$tools/qemu-i386" || { echo "install-deps: no qemu-i386 of version 10 or later" >&2; exit 1; }
fi
