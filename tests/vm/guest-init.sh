#!/bin/busybox sh
# PID 1 of the test machine (run-in-vm.sh puts it in the initramfs as /init).
# Loads the modules the host listed, mounts the host's root read-only with the
# writable places a program expects, runs the one command in a chroot, writes
# its status where the host reads it and powers off. Anything that goes wrong
# before the command starts is written to the console and to boot-error, and
# the machine powers off: the host then knows the command never ran.
/bin/busybox --install -s /bin
export PATH=/bin

root=/newroot
control=$root/run/vm
control_mounted=
options_9p="trans=virtio,version=9p2000.L,msize=262144"

mount -t devtmpfs devtmpfs /dev
exec </dev/null >/dev/console 2>&1
mount -t proc proc /proc
mount -t sysfs sysfs /sys

stop() {
    sync
    poweroff -f
    sleep 60
}

boot_failed() {
    echo "run-in-vm guest: $*"
    if [ -n "$control_mounted" ]; then
        echo "$*" >"$control/boot-error"
    fi
    stop
}

# In an order where each module comes after those it needs.
while read -r module; do
    insmod "/lib/modules/$module" || boot_failed "cannot load the module $module"
done </etc/modules.order

# The host's root is shared read-only by QEMU as well; "loose" caching lets the
# guest keep what it read, which matters for programs of tens of megabytes.
mount -t 9p -o "$options_9p,ro,cache=loose" root "$root" || boot_failed "cannot mount the host's root over 9p"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp" || boot_failed "cannot mount /tmp"
if [ -d "$root/var/tmp" ]; then
    mount -t tmpfs -o mode=1777 tmpfs "$root/var/tmp" || boot_failed "cannot mount /var/tmp"
fi
mount -t tmpfs -o mode=755 tmpfs "$root/run" || boot_failed "cannot mount /run"
mount -t devtmpfs devtmpfs "$root/dev" || boot_failed "cannot mount /dev"
mkdir -p "$root/dev/pts" "$root/dev/shm"
mount -t devpts -o gid=5,mode=620,ptmxmode=666 devpts "$root/dev/pts" || boot_failed "cannot mount /dev/pts"
mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm" || boot_failed "cannot mount /dev/shm"
mount -t proc proc "$root/proc" || boot_failed "cannot mount /proc"
mount -t sysfs sysfs "$root/sys" || boot_failed "cannot mount /sys"
mkdir -p "$control" "$root/run/home" "$root/run/lock"
chmod 1777 "$root/run/lock"
# Written by the host, so the cache must not keep stale pages of it.
mount -t 9p -o "$options_9p,cache=mmap" control "$control" || boot_failed "cannot mount the control folder"
control_mounted=yes

# One line per shared folder: tag, "ro" or "rw", then the path (which may hold
# spaces). The host lists parents before the folders inside them.
while read -r tag mode path; do
    mkdir -p "$root$path" 2>/dev/null
    [ -d "$root$path" ] || boot_failed "no folder to mount $path on"
    mount -t 9p -o "$options_9p,cache=mmap,$mode" "$tag" "$root$path" || boot_failed "cannot mount $path"
done <"$control/shares"

ip link set lo up || boot_failed "cannot bring up the loopback interface"
hostname run-in-vm

: >"$control/started"
env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin chroot "$root" /bin/sh /run/vm/command.sh \
    >"$control/stdout" 2>"$control/stderr"
echo "$?" >"$control/status"
stop
