#!/usr/bin/env bash
# Runs one command as root inside a small virtual machine that has a real ALSA
# sequencer (/dev/snd/seq, "Midi Through" from snd-seq-dummy and the virtual
# raw MIDI ports of snd-virmidi), for tests on computers without /dev/snd.
#
# Usage: run-in-vm.sh [OPTION]... -- COMMAND [ARGUMENT]...
#
# The machine is QEMU in software emulation (KVM is never used: a guest under
# KVM hung at boot on these computers) booting this computer's installed
# Debian kernel with an initramfs built from busybox-static and that kernel's
# own modules. It sees this computer's root file system read-only over 9p, with
# tmpfs on /tmp, /var/tmp, /run and /dev/shm, devtmpfs on /dev, and HOME in a
# tmpfs (/run/home). Nothing of this computer's root, /dev or modules is ever
# changed, nothing is mounted here, and no privilege beyond running QEMU is
# needed. The packages come from scripts/install-deps.sh.
#
# Options:
#   --timeout SECONDS  stop the machine after this long, boot included
#                      (default 300)
#   --cpus N           processors of the machine (default 1)
#   --memory MIB       memory of the machine (default 1536)
#   --workdir DIR      the command's working directory inside the machine
#                      (default: the current directory)
#   --env NAME=VALUE   set a variable for the command (repeatable); --env NAME
#                      passes this process's value. The command otherwise gets
#                      only PATH, HOME=/run/home, USER, LOGNAME, SHELL,
#                      LANG=C.UTF-8 and RUN_IN_VM_JOB, which --env may override.
#   --share DIR        make DIR visible read-write at the same path inside;
#                      this is how a build folder under /tmp, hidden by the
#                      guest's own /tmp, is seen (repeatable; a folder inside
#                      another shared one may be shared with other rights)
#   --share-ro DIR     the same, read-only (repeatable)
#   --job DIR          the job folder, shared read-write and named by
#                      RUN_IN_VM_JOB (default: a temporary folder removed at
#                      the end)
#   --cache DIR        where the initramfs and the unpacked kernel (about
#                      70 MB) are kept between runs (default: $RUN_IN_VM_CACHE,
#                      else $XDG_CACHE_HOME/run-in-vm, else ~/.cache/run-in-vm)
#   --verbose          print the whole kernel log and the boot time to stderr
#
# Inside, the command runs as root with stdin empty; /dev/snd/seq is root's
# alone (mode 0600), the loopback interface is up, and the host name is
# run-in-vm. Files it makes in shared folders belong to the user running this
# script. Folders that are not shared are seen read-only as they were when the
# machine started. The machine's clock starts from this computer's, to the
# second.
#
# The command's stdout and stderr come back as this script's own once the
# command has ended (not while it runs), and its exit status is this script's.
# The script's own failures use statuses that a command may also return, so
# each comes with a line on stderr starting "run-in-vm:":
#   123  the guest never ran the command (boot failed or did not finish in
#        time); the guest's console follows
#   124  the time limit expired while the command ran; the machine was stopped
#        and what the command had written so far is shown
#   125  wrong usage, something missing on this computer, or the machine
#        stopped while the command ran (a kernel panic, say)
#   130  interrupted by SIGINT (Ctrl-C), 143 by SIGTERM: the machine was
#        stopped and what the command had written so far is shown
# Inside the machine 126 and 127 mean, as in a shell, that the command (or the
# working folder) could not be used or that the command was not found.
#
# Give CTest a longer timeout than --timeout: then the script stops the machine
# itself and removes its temporary folder. If the script is killed outright,
# QEMU dies with it (parent-death signal), but the temporary folder stays, and
# so does a cache file it was making, which the next run removes.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
readonly here
readonly boot_failure=123 timed_out=124 runner_failure=125
# Loaded at boot, each after the modules it needs.
readonly guest_modules=(virtio_pci virtio_rng 9pnet_virtio 9p snd_seq snd_hrtimer snd_seq_dummy snd_virmidi)

timeout_seconds=300
cpus=1
memory_mib=1536
workdir=$PWD
job=""
cache=${RUN_IN_VM_CACHE:-}
verbose=""
partial=""
control=""
qemu_pid=""
env_assignments=()
share_lines=()

die() {
    echo "run-in-vm: $*" >&2
    exit "$runner_failure"
}

# Sets folder; not a command substitution, so that die ends the script.
absolute_folder() {
    folder=$(realpath -e -- "$1" 2>/dev/null) || folder=""
    [ -d "$folder" ] || die "$1 is not a folder"
    case $folder in *$'\n'*) die "a folder name with a line break cannot be shared: $1" ;; esac
}

is_count() { [[ $1 =~ ^[1-9][0-9]*$ ]]; }

parse_options() {
    while [ $# -gt 0 ]; do
        case $1 in
            --timeout) is_count "${2:-}" || die "--timeout needs a number of seconds"; timeout_seconds=$2; shift 2 ;;
            --cpus) is_count "${2:-}" || die "--cpus needs a number"; cpus=$2; shift 2 ;;
            --memory) is_count "${2:-}" || die "--memory needs a number of MiB"; memory_mib=$2; shift 2 ;;
            --workdir) [ -n "${2:-}" ] || die "--workdir needs a folder"; workdir=$2; shift 2 ;;
            --env) add_environment "${2:-}"; shift 2 ;;
            --share) absolute_folder "${2:-}"; share_lines+=("rw $folder"); shift 2 ;;
            --share-ro) absolute_folder "${2:-}"; share_lines+=("ro $folder"); shift 2 ;;
            --job) absolute_folder "${2:-}"; job=$folder; shift 2 ;;
            --cache) [ -n "${2:-}" ] || die "--cache needs a folder"; cache=$2; shift 2 ;;
            --verbose) verbose=yes; shift ;;
            --) shift; command_words=("$@"); return ;;
            *) die "unknown option $1 (the command follows --)" ;;
        esac
    done
    die "no command: give it after --"
}

add_environment() {
    local name=${1%%=*}
    [[ $name =~ ^[A-Za-z_][A-Za-z0-9_]*$ ]] || die "--env needs NAME=VALUE or NAME, not '$1'"
    if [[ $1 == *=* ]]; then
        env_assignments+=("$1")
    else
        [ -n "${!name+set}" ] || die "--env $name: $name is not set here"
        env_assignments+=("$name=${!name}")
    fi
}

# --- What the machine is made of -------------------------------------------

find_kernel() {
    local image version
    for image in $(printf '%s\n' /boot/vmlinuz-* | sort -rV); do
        version=${image#/boot/vmlinuz-}
        if [ -f "/lib/modules/$version/modules.dep" ]; then
            [ -r "$image" ] || die "$image cannot be read by this user"
            kernel_image=$image
            kernel_version=$version
            return
        fi
    done
    die "no kernel with its modules in /boot and /lib/modules (scripts/install-deps.sh installs linux-image-amd64)"
}

find_tools() {
    qemu=$(command -v qemu-system-x86_64) || die "qemu-system-x86_64 is missing (scripts/install-deps.sh installs qemu-system-x86)"
    busybox=/bin/busybox
    [ -x "$busybox" ] || die "$busybox is missing (scripts/install-deps.sh installs busybox-static)"
    # A dynamically linked busybox would find no libraries in the initramfs.
    if ldd "$busybox" >/dev/null 2>&1; then
        die "$busybox is dynamically linked; the machine needs busybox-static"
    fi
}

# modules.dep names each module by its file ("kernel/fs/9p/9p.ko.xz") and lists
# all it needs, its own needs included, so loading the needs of each need first
# gives a working order.
module_file() {
    local wanted=${1//-/_}
    awk -F: -v wanted="$wanted" '{
            name = $1; sub(/.*\//, "", name); sub(/\.ko(\.(xz|zst|gz))?$/, "", name); gsub(/-/, "_", name)
            if (name == wanted) { print $1; exit }
        }' "$modules_root/modules.dep"
}

module_needs() {
    awk -F: -v file="$1" '$1 == file { print $2; exit }' "$modules_root/modules.dep"
}

add_module_in_order() {
    local file=$1 need
    [ -z "${module_listed[$file]:-}" ] || return 0
    for need in $(module_needs "$file"); do
        add_module_in_order "$need"
    done
    module_listed[$file]=yes
    module_order+=("$file")
}

list_modules() {
    local module file
    modules_root=/lib/modules/$kernel_version
    declare -gA module_listed=()
    module_order=()
    for module in "${guest_modules[@]}"; do
        file=$(module_file "$module")
        if [ -z "$file" ]; then
            grep -q "/${module//_/[-_]}\.ko" "$modules_root/modules.builtin" 2>/dev/null && continue
            die "the module $module is not in $modules_root"
        fi
        add_module_in_order "$file"
    done
}

# The guest loads plain .ko files with busybox's insmod, so compressed modules
# are unpacked here.
copy_module() {
    local source=$modules_root/$1 target=$2
    case $1 in
        *.ko) cp -- "$source" "$target" ;;
        *.ko.xz) xz -dc -- "$source" >"$target" ;;
        *.ko.zst) zstd -qdc -- "$source" >"$target" ;;
        *.ko.gz) gzip -dc -- "$source" >"$target" ;;
        *) die "unknown module format: $1" ;;
    esac || die "cannot unpack the module $1"
}

plain_module_name() {
    local name=${1##*/}
    printf '%s.ko' "${name%%.ko*}"
}

initramfs_key() {
    local file
    {
        echo "$kernel_version"
        sha256sum "$here/guest-init.sh" "$busybox"
        for file in "${module_order[@]}"; do sha256sum "$modules_root/$file"; done
    } | sha256sum | cut -c1-16
}

build_initramfs() {
    local target=$1 stage file
    stage=$(mktemp -d "$scratch/initramfs.XXXXXX")
    mkdir -p "$stage"/{bin,dev,proc,sys,etc,lib/modules,newroot}
    cp -- "$busybox" "$stage/bin/busybox"
    cp -- "$here/guest-init.sh" "$stage/init"
    chmod 755 "$stage/init"
    for file in "${module_order[@]}"; do
        copy_module "$file" "$stage/lib/modules/$(plain_module_name "$file")"
        printf '%s\n' "$(plain_module_name "$file")" >>"$stage/etc/modules.order"
    done
    # Uncompressed: unpacking it costs the emulated processor more than
    # reading a few more megabytes.
    partial=$target.$$
    (cd "$stage" && find . | "$busybox" cpio -o -H newc -R 0:0 2>/dev/null) >"$partial" ||
        die "cannot build the initramfs"
    mv -f -- "$partial" "$target"
    partial=""
    rm -rf -- "$stage"
}

prepare_cache() {
    if [ -z "$cache" ]; then
        [ -n "${XDG_CACHE_HOME:-}" ] || [ -n "${HOME:-}" ] || die "no cache folder: give --cache"
        cache=${XDG_CACHE_HOME:-$HOME/.cache}/run-in-vm
    fi
    mkdir -p -- "$cache" || die "cannot make the cache folder $cache"
    cache=$(cd "$cache" && pwd)
    remove_leftovers
}

# Cache entries are made under the name of the entry and the maker's process,
# and renamed into place once complete. Such a file whose process has gone is
# what a run killed outright left behind (tens of megabytes for a kernel); one
# whose process lives belongs to a run that is making it now.
remove_leftovers() {
    local file pid
    for file in "$cache"/vmlinux-*.* "$cache"/initramfs-*.*; do
        pid=${file##*.}
        if [[ $pid =~ ^[0-9]+$ ]] && [ ! -e "/proc/$pid" ]; then
            rm -f -- "$file"
        fi
    done
}

# Entries are touched when used; a new entry of a kind clears those of that
# kind that no run has used for two days (a kernel upgrade's leftovers).
use_cache_entry() {
    local entry=$1 kind=$2
    [ -s "$entry" ] && touch -- "$entry" && return 0
    find "$cache" -maxdepth 1 -name "$kind-*" -mtime +2 -delete 2>/dev/null || true
    return 1
}

prepare_initramfs() {
    list_modules
    initramfs=$cache/initramfs-$kernel_version-$(initramfs_key).cpio
    use_cache_entry "$initramfs" initramfs || build_initramfs "$initramfs"
}

# A compressed kernel unpacks itself, which takes the emulated processor about
# three seconds; a kernel with a PVH entry can be handed to QEMU already
# unpacked, which halves the boot. Any other kernel boots as it is.
prepare_kernel() {
    local unpacked
    qemu_kernel=$kernel_image
    grep -qx 'CONFIG_PVH=y' "/boot/config-$kernel_version" 2>/dev/null || return 0
    unpacked=$cache/vmlinux-$kernel_version-$(sha256sum <"$kernel_image" | cut -c1-16)
    if use_cache_entry "$unpacked" vmlinux || unpack_kernel "$unpacked"; then
        qemu_kernel=$unpacked
    fi
}

unpack_kernel() {
    local target=$1 offset
    offset=$(LC_ALL=C grep -obUaP -m1 '\xfd7zXZ\x00' "$kernel_image" | head -n1 | cut -d: -f1) || true
    [ -n "$offset" ] || return 1
    partial=$target.$$
    tail -c +"$((offset + 1))" -- "$kernel_image" | xz -dcq --single-stream >"$partial" 2>/dev/null || true
    if [ "$(head -c4 -- "$partial" 2>/dev/null)" = $'\x7fELF' ]; then
        mv -f -- "$partial" "$target"
        partial=""
    else
        rm -f -- "$partial"
        partial=""
        return 1
    fi
}

# --- The one job ---------------------------------------------------------------

shell_quote() {
    printf "'%s'" "${1//\'/\'\\\'\'}"
}

write_command_script() {
    local assignment word
    {
        for assignment in PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
            HOME=/run/home USER=root LOGNAME=root SHELL=/bin/sh LANG=C.UTF-8 \
            "RUN_IN_VM_JOB=$job" "${env_assignments[@]}"; do
            echo "export $(shell_quote "$assignment")"
        done
        echo "cd -- $(shell_quote "$workdir") || { echo \"run-in-vm: no working folder $(shell_quote "$workdir") inside the machine\" >&2; exit 126; }"
        printf 'exec'
        for word in "${command_words[@]}"; do printf ' %s' "$(shell_quote "$word")"; done
        echo
    } >"$control/command.sh"
}

write_share_list() {
    local line index=0
    : >"$control/shares"
    share_tags=()
    share_paths=()
    share_modes=()
    while IFS= read -r line; do
        [ -n "$line" ] || continue
        share_modes+=("${line%% *}")
        share_paths+=("${line#* }")
        share_tags+=("share$index")
        echo "share$index $line" >>"$control/shares"
        index=$((index + 1))
    done < <(printf '%s\n' "${share_lines[@]}" | LC_ALL=C sort -k2)
}

qemu_option_value() {
    printf '%s' "${1//,/,,}"
}

start_machine() {
    local index read_only arguments console_level="quiet loglevel=3"
    [ -z "$verbose" ] || console_level="loglevel=7"
    # shellcheck disable=SC2054  # the commas belong to QEMU's option values
    arguments=(
        -accel tcg -machine pc -cpu max -smp "$cpus" -m "$memory_mib"
        -nodefaults -no-user-config -display none -monitor none -no-reboot
        -chardev "file,id=console,path=$(qemu_option_value "$control/console.log")" -serial chardev:console
        -kernel "$qemu_kernel" -initrd "$initramfs"
        -append "console=ttyS0 $console_level panic=-1"
        -device virtio-rng-pci
        -fsdev "local,id=root,path=/,security_model=none,readonly=on,multidevs=remap"
        -device virtio-9p-pci,fsdev=root,mount_tag=root
        -fsdev "local,id=control,path=$(qemu_option_value "$control"),security_model=none,multidevs=remap"
        -device virtio-9p-pci,fsdev=control,mount_tag=control
    )
    for index in "${!share_tags[@]}"; do
        read_only=""
        [ "${share_modes[$index]}" = ro ] && read_only=",readonly=on"
        arguments+=(
            -fsdev "local,id=${share_tags[$index]},path=$(qemu_option_value "${share_paths[$index]}"),security_model=none,multidevs=remap$read_only"
            -device "virtio-9p-pci,fsdev=${share_tags[$index]},mount_tag=${share_tags[$index]}"
        )
    done
    # The parent-death signal stops QEMU even if this script is killed outright.
    setpriv --pdeathsig KILL -- "$qemu" "${arguments[@]}" </dev/null >"$control/qemu.log" 2>&1 &
    qemu_pid=$!
}

stop_machine() {
    [ -n "${qemu_pid:-}" ] || return 0
    if kill -0 "$qemu_pid" 2>/dev/null; then
        kill -TERM "$qemu_pid" 2>/dev/null || true
        local waited=0
        while kill -0 "$qemu_pid" 2>/dev/null && [ "$waited" -lt 50 ]; do sleep 0.1; waited=$((waited + 1)); done
        kill -KILL "$qemu_pid" 2>/dev/null || true
    fi
    wait "$qemu_pid" 2>/dev/null || true
    qemu_pid=""
}

# shellcheck disable=SC2317  # called by the EXIT trap
clean_up() {
    stop_machine
    [ -z "${partial:-}" ] || rm -f -- "$partial"
    [ -z "${scratch:-}" ] || rm -rf -- "$scratch"
}

# Ctrl-C or a stop: what the command wrote so far comes back, as at the time
# limit, and the run says why it ended. Once is enough: a second signal waits
# for the machine to be stopped.
# shellcheck disable=SC2317  # called by the INT and TERM traps
interrupted() {
    local stopped=""
    trap '' INT TERM
    [ -z "${qemu_pid:-}" ] || stopped="; the machine was stopped"
    stop_machine
    hand_back_output
    echo "run-in-vm: interrupted by $1$stopped" >&2
    exit "$2"
}

wait_for_machine() {
    local deadline=$(($(now_microseconds) + timeout_seconds * 1000000))
    machine_timed_out=""
    while kill -0 "$qemu_pid" 2>/dev/null; do
        if [ "$(now_microseconds)" -ge "$deadline" ]; then
            machine_timed_out=yes
            break
        fi
        [ -n "$boot_seconds" ] || [ ! -e "$control/started" ] || boot_seconds=$(seconds_since "$start_time")
        sleep 0.1
    done
    stop_machine
    [ -n "$boot_seconds" ] || [ ! -e "$control/started" ] || boot_seconds=$(seconds_since "$start_time")
}

now_microseconds() {
    local now=$EPOCHREALTIME
    echo "${now/[.,]/}"
}

seconds_since() {
    local elapsed=$(($(now_microseconds) - $1))
    printf '%d.%02d' $((elapsed / 1000000)) $((elapsed / 10000 % 100))
}

show_console() {
    echo "run-in-vm: the guest's console:" >&2
    sed 's/^/  | /' "$control/console.log" >&2 2>/dev/null || true
    if [ -s "$control/qemu.log" ]; then
        echo "run-in-vm: QEMU said:" >&2
        sed 's/^/  | /' "$control/qemu.log" >&2
    fi
}

hand_back_output() {
    [ -n "${control:-}" ] || return 0
    cat -- "$control/stdout" 2>/dev/null || true
    cat -- "$control/stderr" >&2 2>/dev/null || true
}

hand_back_result() {
    hand_back_output
    if [ -n "$verbose" ]; then
        show_console
        echo "run-in-vm: command started after ${boot_seconds:-?} s, machine gone after $(seconds_since "$start_time") s" >&2
    fi
    if [ ! -e "$control/started" ]; then
        if [ -n "$machine_timed_out" ]; then
            echo "run-in-vm: the guest never ran the command: it had not booted after $timeout_seconds s" >&2
        elif [ -s "$control/boot-error" ]; then
            echo "run-in-vm: the guest never ran the command: $(cat "$control/boot-error")" >&2
        else
            echo "run-in-vm: the guest never ran the command: the machine stopped during boot" >&2
        fi
        [ -n "$verbose" ] || show_console
        exit "$boot_failure"
    fi
    if [ -n "$machine_timed_out" ]; then
        echo "run-in-vm: the command did not finish within $timeout_seconds s; the machine was stopped" >&2
        exit "$timed_out"
    fi
    local status
    status=$(cat "$control/status" 2>/dev/null) || status=""
    if ! [[ $status =~ ^[0-9]+$ ]]; then
        echo "run-in-vm: the machine stopped while the command ran" >&2
        [ -n "$verbose" ] || show_console
        exit "$runner_failure"
    fi
    exit "$status"
}

main() {
    command_words=()
    parse_options "$@"
    find_tools
    find_kernel
    start_time=$(now_microseconds)
    boot_seconds=""
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/run-in-vm.XXXXXX") || die "cannot make a temporary folder"
    trap clean_up EXIT
    trap 'interrupted SIGINT 130' INT
    trap 'interrupted SIGTERM 143' TERM
    control=$scratch/control
    mkdir "$control"
    if [ -z "$job" ]; then
        job=$scratch/job
        mkdir "$job"
    fi
    share_lines+=("rw $job")
    prepare_cache
    prepare_kernel
    prepare_initramfs
    write_command_script
    write_share_list
    start_machine
    wait_for_machine
    hand_back_result
}

main "$@"
