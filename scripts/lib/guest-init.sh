#!/bin/busybox sh
# The first process of the 32-bit guest (scripts/guest.sh), run from its
# start-up archive with nothing but busybox and the kernel's modules beside it.
#
# It loads the drivers, mounts this machine's root (read-only, over 9p) under
# an overlay, and runs the command that the host left in the exchange folder,
# chrooted there, writing its output to the console and its exit status to the
# exchange folder. Then it powers the machine off (qemu runs with -no-reboot).
#
# guest_mode (from the kernel's command line): "prepare" writes what the
# command changes into the guest's disk, to stay; "run" puts a layer in memory
# over the disk, so every run starts from the same prepared state.
/bin/busybox --install -s /bin
export PATH=/bin

say() { echo "guest: $*" >/dev/console; }
give_up() {
  say "$*"
  reboot -f
}

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

# The modules' order, dependencies first, was worked out on the host.
for module in $(cat /modules.order); do
  insmod "/modules/$module.ko" || give_up "cannot load the kernel module $module"
done

# The disk appears once the virtio driver has found it.
waited=0
until [ -b /dev/vda ]; do
  [ $waited -lt 100 ] || give_up "no disk (/dev/vda) appeared"
  waited=$((waited + 1))
  sleep 0.1
done

mkdir -p /host /disk /exchange /layer /newroot
# cache=loose: nothing changes the host's files that the guest reads while it
# runs, and without it every open and exec makes several round trips.
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose,ro hostroot /host ||
  give_up "cannot mount the host's root over 9p"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=none exchange /exchange ||
  give_up "cannot mount the exchange folder over 9p"

if [ "$guest_mode" = prepare ]; then
  mount -t ext4 /dev/vda /disk || give_up "cannot mount the guest's disk"
  mount -t overlay overlay -o lowerdir=/host,upperdir=/disk/upper,workdir=/disk/work /newroot ||
    give_up "cannot mount the overlay over the host's root"
else
  mount -t ext4 -o ro,noload /dev/vda /disk || give_up "cannot mount the guest's disk"
  mount -t tmpfs -o size=3g tmpfs /layer
  mkdir -p /layer/upper /layer/work
  mount -t overlay overlay -o lowerdir=/disk/upper:/host,upperdir=/layer/upper,workdir=/layer/work /newroot ||
    give_up "cannot mount the overlay over the host's root"
fi

for fs in proc sys dev run tmp; do mkdir -p /newroot/$fs; done
mount -t proc proc /newroot/proc
mount -t sysfs sysfs /newroot/sys
mount -t devtmpfs devtmpfs /newroot/dev
mkdir -p /newroot/dev/pts /newroot/dev/shm
mount -t devpts devpts /newroot/dev/pts
mount -t tmpfs tmpfs /newroot/dev/shm
mount -t tmpfs tmpfs /newroot/run
mount -t tmpfs -o size=2g tmpfs /newroot/tmp
mkdir -p /newroot/run/guest
mount --bind /exchange /newroot/run/guest
# The folder the command runs in, where the host has it, whatever the guest
# has mounted on the way there (a checkout in /tmp), as the rest of the host's
# root: read through the cached share (Wine maps its programs from there), what
# the command writes kept in memory and dropped.
checkout=$(cat /exchange/checkout)
mkdir -p /shown "/newroot$checkout"
mount -t tmpfs -o size=1g tmpfs /shown
mkdir -p /shown/upper /shown/work
mount -t overlay overlay -o "lowerdir=/host$checkout,upperdir=/shown/upper,workdir=/shown/work" "/newroot$checkout" ||
  give_up "cannot show the folder $checkout in the guest"

# The console passes the output on as it is (no CR before each LF).
stty -F /dev/console -onlcr 2>/dev/null
hostname veruvo-guest
chroot /newroot /bin/bash /run/guest/command </dev/null >/dev/console 2>&1
echo $? >/exchange/status

# A clean unmount, so that the prepared disk needs no journal recovery, which
# its read-only runs could not do.
umount "/newroot$checkout" 2>/dev/null
for fs in run/guest run tmp dev/shm dev/pts dev sys proc; do umount /newroot/$fs 2>/dev/null; done
umount /newroot || say "the overlay is still busy; unmounting it lazily"
umount -l /newroot 2>/dev/null
umount /disk || say "the disk is still busy"
sync
reboot -f
