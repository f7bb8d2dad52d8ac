#!/usr/bin/env bash
# The 32-bit guest: an emulated PC whose kernel runs 32-bit code, which this
# machine's kernel cannot, with Wine's 32-bit half installed, so that the
# product itself (the i686 Veruvo.exe) can be started and tested.
#
#   scripts/guest.sh prepare          make (or check) everything the guest needs
#   scripts/guest.sh run [--] CMD...  run CMD in the guest, in this folder; exits
#                                     with CMD's exit status, its output on stdout
#
# The guest is Debian's own kernel (package linux-image-*-amd64), booted by qemu
# without acceleration (nested virtualisation is far too slow here) from a small
# busybox start-up archive (scripts/lib/guest-init.sh). Its root is this
# machine's root, shared read-only over 9p, under an overlay kept on a disk
# image: Wine's 32-bit packages, downloaded with apt into a private state and
# cache (this machine's own dpkg is never touched), are installed there once,
# with a Wine prefix to copy for each run. Each run puts a layer in memory over
# that disk and leaves the disk as it was. All of it lives in build/guest/, so a
# second run reuses it; it is made again when its inputs change.
#
# Never install wine32 on this machine itself: /usr/bin/wine would then pick the
# 32-bit loader, which this kernel cannot start.
#
# Anything that keeps the guest from running (no emulator, no package, no
# kernel, a guest that does not finish) is said on stderr, with exit status 125.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
state=${VERUVO_GUEST_STATE:-$repo/build/guest}
# The longest a guest may run before it counts as hung, in seconds.
time_limit=${VERUVO_GUEST_TIME_LIMIT:-3600}
# The guest's own machine: two processors and 6 GB like this one's share of it.
# Protection keys and SMAP/SMEP (in -cpu max) make Wine's processes fault in the
# guest kernel; this model has neither.
qemu_machine=(-accel tcg,thread=multi -cpu Skylake-Client-v4,-pku,-smap,-smep -smp 2 -m 6144)
# Where the Wine prefix that each run copies lies inside the guest.
export VERUVO_GUEST_PREFIX=/var/lib/veruvo-guest/wineprefix

# Kernel modules the start-up archive loads; their dependencies come along.
guest_modules=(virtio_pci virtio_blk 9pnet_virtio 9p overlay crc32c_generic ext4)

cannot() {
  echo "GUEST CANNOT RUN: $*" >&2
  exit 125
}

note() { echo "guest: $*" >&2; }

require_tools() {
  local tool
  for tool in qemu-system-x86_64 apt-get apt-cache dpkg-deb cpio mke2fs strings xz sha256sum; do
    command -v "$tool" >/dev/null || cannot "$tool is not installed (scripts/setup.sh installs it)"
  done
  # The start-up archive has no libraries: its busybox must be the static one.
  dpkg-query -W -f='${Status}' busybox-static 2>/dev/null | grep -q "install ok installed" ||
    cannot "busybox-static is not installed (scripts/setup.sh installs it)"
}

# apt with a state and cache of the guest's own, for amd64 and i386, reading
# this machine's list of installed packages but never changing it.
apt_private() {
  apt-get -q -o Dir::State="$state/apt" -o Dir::State::status=/var/lib/dpkg/status \
    -o Dir::Cache="$state/apt/cache" -o Dir::Etc::preferences=/dev/null \
    -o APT::Architectures::=amd64 -o APT::Architectures::=i386 \
    -o APT::Sandbox::User=root -o Debug::NoLocking=1 "$@"
}
apt_cache_private() {
  apt-cache -o Dir::State="$state/apt" -o Dir::State::status=/var/lib/dpkg/status \
    -o Dir::Cache="$state/apt/cache" -o APT::Architectures::=amd64 -o APT::Architectures::=i386 "$@"
}

apt_update_private() {
  mkdir -p "$state/apt/lists/partial" "$state/apt/cache/archives/partial"
  note "reading Debian's package lists (amd64 and i386) into $state/apt"
  apt_private update >"$state/apt-update.log" 2>&1 ||
    { tail -n 20 "$state/apt-update.log" >&2; cannot "apt cannot read Debian's package lists"; }
}

have_lists() { compgen -G "$state/apt/lists/*_Packages*" >/dev/null; }

# Debian's current kernel, unpacked into $state/kernel; sets kernel_version.
fetch_kernel() {
  have_lists || apt_update_private
  local package
  package=$(apt_cache_private depends linux-image-amd64 2>/dev/null | sed -n 's/.*Depends: \(linux-image-[0-9].*-amd64\)$/\1/p' | head -n 1)
  [[ -n $package ]] || cannot "Debian's package lists name no kernel (linux-image-amd64)"
  kernel_version=${package#linux-image-}
  [[ -f $state/kernel/boot/vmlinuz-$kernel_version ]] && return 0
  mkdir -p "$state/debs"
  rm -f "$state/debs"/linux-image-*.deb
  note "downloading $package"
  if ! (cd "$state/debs" && apt_private download "$package" >"$state/kernel-download.log" 2>&1); then
    apt_update_private
    (cd "$state/debs" && apt_private download "$package" >"$state/kernel-download.log" 2>&1) ||
      { cat "$state/kernel-download.log" >&2; cannot "cannot download the kernel package $package"; }
  fi
  rm -rf "$state/kernel"
  dpkg-deb -x "$state/debs/$package"_*.deb "$state/kernel" || cannot "cannot unpack $package"
  [[ -f $state/kernel/boot/vmlinuz-$kernel_version ]] || cannot "$package holds no kernel"
  grep -q '^CONFIG_IA32_EMULATION=y' "$state/kernel/boot/config-$kernel_version" ||
    cannot "$package cannot run 32-bit programs (no IA32_EMULATION)"
}

# The modules in $guest_modules with their dependencies, each after what it needs.
module_order() {
  local folder=$state/kernel/lib/modules/$kernel_version
  local -A placed=()
  local order=()
  place() {
    local name=$1 file depends dependency
    [[ -n ${placed[$name]:-} ]] && return 0
    placed[$name]=1
    file=$(find "$folder/kernel" -name "$name.ko*" | head -n 1)
    if [[ -z $file ]]; then
      # Built into the kernel: nothing to load.
      grep -q "/$name.ko\$" "$folder/modules.builtin" && return 0
      cannot "the kernel has no module $name"
    fi
    depends=$(strings "$file" | sed -n 's/^depends=//p' | head -n 1)
    for dependency in ${depends//,/ }; do place "$dependency"; done
    order+=("$name:$file")
  }
  local module
  for module in "${guest_modules[@]}"; do place "$module"; done
  printf '%s\n' "${order[@]}"
}

# The start-up archive: busybox, the modules, and the first process.
make_initramfs() {
  local stamp
  stamp=$(cat "$repo/scripts/lib/guest-init.sh" /bin/busybox <(echo "$kernel_version ${guest_modules[*]}") |
    sha256sum | cut -d' ' -f1)
  [[ -f $state/initrd.img && $(cat "$state/initrd.stamp" 2>/dev/null) == "$stamp" ]] && return 0
  note "making the start-up archive"
  local root=$state/initrd-root
  rm -rf "$root"
  mkdir -p "$root"/{bin,modules,proc,sys,dev}
  cp /bin/busybox "$root/bin/busybox"
  cp "$repo/scripts/lib/guest-init.sh" "$root/init"
  chmod 755 "$root/init"
  : >"$root/modules.order"
  module_order >"$state/modules.list" || exit 125
  while IFS=: read -r name file; do
    case $file in
      *.xz) xz -dc "$file" >"$root/modules/$name.ko" ;;
      *) cp "$file" "$root/modules/$name.ko" ;;
    esac || cannot "cannot copy the module $name"
    echo "$name" >>"$root/modules.order"
  done <"$state/modules.list"
  (cd "$root" && find . | cpio -o -H newc --quiet | gzip -1 >"$state/initrd.img") ||
    cannot "cannot pack the start-up archive"
  rm -rf "$root"
  echo "$stamp" >"$state/initrd.stamp"
}

# Wine's 32-bit half and what it needs that this machine lacks, as .deb files in
# the private cache; their names are written to $state/wine32.debs.
fetch_wine32() {
  have_lists || apt_update_private
  local attempt
  for attempt in 1 2; do
    if apt_private install --download-only -y wine32:i386 >"$state/wine32-download.log" 2>&1; then
      break
    fi
    ((attempt == 1)) || { tail -n 20 "$state/wine32-download.log" >&2; cannot "cannot download wine32:i386"; }
    apt_update_private
  done
  # What apt would install now; every one of them is in the cache.
  apt_private install --simulate wine32:i386 2>/dev/null |
    sed -n 's/^Inst \([^ ]*\) [^(]*(\([^ ]*\) .*\[\([a-z0-9]*\)\]).*$/\1 \2 \3/p' |
    while read -r name version arch; do
      name=${name%%:*}
      ls "$state/apt/cache/archives/${name}_${version//:/%3a}_${arch}.deb" 2>/dev/null ||
        echo "MISSING ${name}_${version}_${arch}.deb"
    done | sort >"$state/wine32.debs"
  grep -q MISSING "$state/wine32.debs" && cannot "downloaded packages are missing: $(grep MISSING "$state/wine32.debs")"
  grep -q '/wine32_' "$state/wine32.debs" || cannot "apt would not install wine32:i386 (see $state/wine32-download.log)"
}

# Boots the guest once. $1: prepare (changes stay on the disk) or run (they do
# not); the rest: the command, run in the current folder. Sets guest_status.
boot() {
  local mode=$1
  shift
  local exchange
  exchange=$(mktemp -d "$state/exchange.XXXXXX") || cannot "cannot make an exchange folder in $state"
  {
    echo "#!/bin/bash"
    echo "cd $(printf %q "$PWD") || exit 125"
    # What the caller's environment says about the tests travels with the command.
    local variable
    for variable in $(compgen -e | grep -E '^(VERUVO_|CTEST_|GTEST_)'); do
      printf 'export %s=%q\n' "$variable" "${!variable}"
    done
    echo "export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8"
    printf '%q ' "$@"
    echo
  } >"$exchange/command"
  # The folder it runs in, which the guest shows again at its own path: the
  # guest mounts folders of its own over the host's (a checkout in /tmp).
  printf '%s\n' "$PWD" >"$exchange/checkout"
  local drive="file=$state/disk.img,if=virtio,format=raw"
  [[ $mode == run ]] && drive+=",readonly=on"
  local console=$state/console-$mode.log
  timeout --kill-after=30 "$time_limit" qemu-system-x86_64 "${qemu_machine[@]}" \
    -nodefaults -no-user-config -display none -no-reboot \
    -chardev stdio,id=console,signal=off -serial chardev:console \
    -kernel "$state/kernel/boot/vmlinuz-$kernel_version" -initrd "$state/initrd.img" \
    -append "console=ttyS0 loglevel=3 panic=-1 guest_mode=$mode" \
    -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
    -virtfs "local,path=$exchange,mount_tag=exchange,security_model=none" \
    -drive "$drive" </dev/null 2>"$state/qemu.log" | tee "$console" | grep --line-buffered -v '^\[ *[0-9.]*\] reboot: '
  local qemu_status=${PIPESTATUS[0]}
  if [[ -s $exchange/status ]]; then
    guest_status=$(cat "$exchange/status")
    rm -rf "$exchange"
    return 0
  fi
  rm -rf "$exchange"
  cat "$state/qemu.log" >&2
  ((qemu_status == 124 || qemu_status == 137)) && cannot "the guest did not finish within $time_limit s"
  cannot "the guest ended before its command did (qemu exit status $qemu_status; its console: $console)"
}

# The guest's disk with Wine's 32-bit half installed and a Wine prefix made,
# remade when the packages, this machine's own packages or the preparation
# change. A disk whose packages are still the ones wanted is kept, and the
# preparation goes on from there (it skips the installation when it is done).
prepare_disk() {
  local packages stamp
  packages=$(cat "$state/wine32.debs" /var/lib/dpkg/status <(echo "$kernel_version") | sha256sum | cut -d' ' -f1)
  stamp=$(cat <(echo "$packages") "$repo/scripts/lib/guest-prepare.sh" \
    <(source "$repo/scripts/lib/desktop.sh" && declare -f new_wine_prefix) | sha256sum | cut -d' ' -f1)
  [[ -f $state/disk.img && $(cat "$state/disk.stamp" 2>/dev/null) == "$stamp" ]] && return 0
  rm -f "$state/disk.stamp"
  if [[ -f $state/disk.img && $(cat "$state/disk.packages" 2>/dev/null) == "$packages" ]]; then
    note "preparing the guest's disk again, its packages kept: making a Wine prefix (a few minutes)"
  else
    note "preparing the guest's disk: installing Wine's 32-bit half and making a Wine prefix (about 20 minutes)"
    rm -f "$state/disk.img" "$state/disk.packages"
    local skeleton=$state/disk-skeleton
    rm -rf "$skeleton"
    mkdir -p "$skeleton/upper" "$skeleton/work"
    mke2fs -q -t ext4 -d "$skeleton" -F "$state/disk.img.new" 8G || cannot "cannot make the guest's disk"
    rm -rf "$skeleton"
    mv "$state/disk.img.new" "$state/disk.img"
  fi
  local started=$SECONDS
  (cd "$repo" && boot prepare bash scripts/lib/guest-prepare.sh "$state/wine32.debs" && exit "$guest_status")
  local status=$?
  ((status == 125)) && exit 125
  # Once Wine's 32-bit half is in, that part of the work is kept even if the rest failed.
  grep -q "^guest: installed in\|^guest: Wine's 32-bit half is installed already" "$state/console-prepare.log" &&
    echo "$packages" >"$state/disk.packages"
  ((status == 0)) || cannot "preparing the guest failed (exit status $status; its console: $state/console-prepare.log)"
  echo "$stamp" >"$state/disk.stamp"
  note "guest prepared in $((SECONDS - started)) s"
}

prepare() {
  require_tools
  [[ -e /usr/lib/wine/wine || $(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null) == *installed* ]] &&
    cannot "wine32 is installed on this machine itself; remove it (this kernel cannot run it, and /usr/bin/wine would pick it)"
  mkdir -p "$state"
  fetch_kernel
  make_initramfs
  fetch_wine32
  prepare_disk
}

case ${1:-} in
  prepare)
    prepare
    note "ready: kernel $kernel_version, $(wc -l <"$state/wine32.debs") packages of Wine's 32-bit half in $state/disk.img"
    ;;
  run)
    shift
    [[ ${1:-} == -- ]] && shift
    (($#)) || cannot "no command to run"
    prepare
    boot run "$@"
    exit "$guest_status"
    ;;
  *)
    echo "usage: $0 prepare | run [--] COMMAND..." >&2
    exit 2
    ;;
esac
