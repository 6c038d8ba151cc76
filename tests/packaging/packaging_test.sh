#!/usr/bin/env bash
# The packaging checks, one per CTest test:
#   packaging_test.sh files SOURCE_DIR VERSION   desktop entries, metainfo, changelog and icon
#   packaging_test.sh install BUILD_DIR          `cmake --install` into a temporary prefix
#   packaging_test.sh bus BUILD_DIR              a bus call starts the installed program hidden
#   packaging_test.sh deb BUILD_DIR              the .deb built twice, unpacked and run; lintian,
#                                                hardening-check, the manual page, bash completion
# Exits 77 (skipped) when a tool the check needs is missing; scripts/setup.sh installs them.
set -euo pipefail

need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
    done
}
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
started=""
cleanup() {
    if [ -n "$started" ]; then kill "$started" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# The files an install holds, relative to its prefix.
expected_files() {
    cat <<'LIST'
./bin/quibsum
./libexec/quibsum/libquibsum-network.so
./libexec/quibsum/quibsum-bus
./libexec/quibsum/quibsum-window
./share/applications/quibsum.desktop
./share/bash-completion/completions/quibsum
./share/dbus-1/services/org.quibsum.QuibSum.service
./share/doc/quibsum/changelog.gz
./share/doc/quibsum/copyright
./share/gnome-shell/search-providers/org.quibsum.QuibSum.search-provider.ini
./share/icons/hicolor/128x128/apps/quibsum.png
./share/icons/hicolor/16x16/apps/quibsum.png
./share/icons/hicolor/24x24/apps/quibsum.png
./share/icons/hicolor/256x256/apps/quibsum.png
./share/icons/hicolor/32x32/apps/quibsum.png
./share/icons/hicolor/48x48/apps/quibsum.png
./share/icons/hicolor/64x64/apps/quibsum.png
./share/icons/hicolor/scalable/apps/quibsum.svg
./share/krunner/dbusplugins/quibsum-krunner.desktop
./share/man/man1/quibsum.1.gz
./share/metainfo/org.quibsum.QuibSum.metainfo.xml
./share/quibsum/quibsum-autostart.desktop
LIST
}

# The program must run from where it was put and print 2 for 1+1, with no data of the user's.
check_runs() {
    local program=$1 result
    result=$(QUIBSUM_DATA_DIR="$work/data" QUIBSUM_CONFIG_DIR="$work/config" \
        "$program" calc --rates "$seed" 1+1) || fail "$program calc 1+1 failed"
    [ "$result" = 2 ] || fail "$program calc 1+1 printed '$result', not 2"
    # Its other programs and the network library are found from where the program was put.
    "$program" show --help | grep -q '^Usage: quibsum show' || fail "$program show --help did not reach the bus program"
    "$program" append-selection --help | grep -q '^Usage: quibsum append-selection' ||
        fail "$program append-selection --help did not reach the window program"
    result=$(QUIBSUM_DATA_DIR="$work/data" QUIBSUM_CONFIG_DIR="$work/config" \
        QUIBSUM_ERAPI_URL=http://127.0.0.1:9/ QUIBSUM_VCB_URL=http://127.0.0.1:9/ "$program" rates --refresh) || true
    grep -q '^Not updated: Vietcombank table: ' <<<"$result" || fail "$program rates --refresh printed '$result'"
    if grep -q 'libquibsum-network' <<<"$result"; then fail "$program cannot load its network library: $result"; fi
}

# The bus service must start the installed program, hidden, for the instance's name.
check_bus_service() {
    local file=$1 bindir=$2
    grep -qx 'Name=org.quibsum.QuibSum' "$file" || fail "$file: wrong Name"
    grep -qx "Exec=$bindir/quibsum --hidden" "$file" || fail "$file: Exec is not $bindir/quibsum --hidden"
}

# GNOME Shell reads the group [Shell Search Provider] and in it DesktopId (an installed menu
# entry), BusName, ObjectPath and Version (2); KRunner reads the X-Plasma-DBusRunner keys.
# Both must name the instance's bus name and the paths the program serves.
check_search_files() {
    local source=$1 ini=org.quibsum.QuibSum.search-provider.ini runner=quibsum-krunner.desktop
    [ "$(head -n1 "$ini")" = '[Shell Search Provider]' ] || fail "$ini: the group is not [Shell Search Provider]"
    [ "$(grep -c '^\[' "$ini")" = 1 ] || fail "$ini: more than one group"
    local keys
    keys=$(grep -v '^\[' "$ini" | cut -d= -f1 | sort | tr '\n' ' ')
    [ "$keys" = 'BusName DesktopId ObjectPath Version ' ] || fail "$ini: keys are '$keys'"
    grep -qx 'Version=2' "$ini" || fail "$ini: not version 2"
    grep -qx 'DesktopId=quibsum.desktop' "$ini" && [ -f quibsum.desktop ] || fail "$ini: DesktopId is not quibsum.desktop"
    grep -qx 'BusName=org.quibsum.QuibSum' "$ini" || fail "$ini: wrong BusName"
    grep -qx 'Name=org.quibsum.QuibSum' org.quibsum.QuibSum.service.in || fail "$ini: BusName is not D-Bus activatable"
    local path
    path=$(grep '^ObjectPath=' "$ini" | cut -d= -f2)
    grep -q "objectPath\[\] = \"$path\"" "$source/QuibSum/search/GnomeSearchProvider.h" ||
        fail "$ini: ObjectPath $path is not the provider's"
    grep -qx 'X-Plasma-API=DBus' "$runner" || fail "$runner: not a D-Bus runner"
    grep -qx 'X-Plasma-DBusRunner-Service=org.quibsum.QuibSum' "$runner" || fail "$runner: wrong service"
    path=$(grep '^X-Plasma-DBusRunner-Path=' "$runner" | cut -d= -f2)
    grep -q "objectPath\[\] = \"$path\"" "$source/QuibSum/search/KRunnerRunner.h" ||
        fail "$runner: path $path is not the runner's"
}

mode=$1
case "$mode" in
files)
    source_dir=$2 version=$3
    need desktop-file-validate appstreamcli rsvg-convert cmake
    cd "$source_dir/packaging"
    # Errors fail it, and so do warnings and hints (such as a category without its main one).
    report=$(desktop-file-validate quibsum.desktop quibsum-autostart.desktop quibsum-krunner.desktop 2>&1) || true
    [ -z "$report" ] || fail "desktop-file-validate: $report"
    grep -qx 'Exec=quibsum --hidden' quibsum-autostart.desktop || fail "the autostart entry does not start hidden"
    check_search_files "$source_dir"
    # The AppStream file as a build with no web addresses makes it, and as one with all of them.
    meta="$work/bare/org.quibsum.QuibSum.metainfo.xml"
    cmake -DMETAINFO_IN=org.quibsum.QuibSum.metainfo.xml.in -DMETAINFO_OUT="$meta" -P ConfigureMetainfo.cmake
    appstreamcli validate --no-net --explain "$meta"
    ! grep -q '<url\|<screenshot' "$meta" || fail "a build without web addresses lists links"
    linked="$work/linked/org.quibsum.QuibSum.metainfo.xml"
    cmake -DMETAINFO_IN=org.quibsum.QuibSum.metainfo.xml.in -DMETAINFO_OUT="$linked" \
        -DQUIBSUM_HOMEPAGE_URL=https://example.org/quibsum -DQUIBSUM_DONATE_URL=https://example.org/quibsum/donate \
        -DQUIBSUM_SCREENSHOT_URL=https://example.org/quibsum/screenshot.png -P ConfigureMetainfo.cmake
    appstreamcli validate --no-net --explain "$linked"
    grep -q '<url type="homepage">https://example.org/quibsum</url>' "$linked" || fail "the homepage link is missing"
    grep -q '<url type="donation">https://example.org/quibsum/donate</url>' "$linked" ||
        fail "the donation link is missing"
    # The newest release listed (the first) is the version CMake builds.
    newest=$(grep -o -m1 '<release version="[^"]*"' "$meta" | cut -d'"' -f2)
    [ "$newest" = "$version" ] || fail "the metainfo's newest release is '$newest', the project's version $version"
    head -n1 changelog | grep -q "^quibsum ($version) " || fail "the changelog's first entry is not $version"
    for size in 16 256; do
        rsvg-convert -w "$size" -h "$size" quibsum.svg -o "$work/icon-$size.png"
    done
    ;;
install)
    build_dir=$2
    seed=$(dirname "$0")/../../QuibSumRates/resources/rates-seed.json
    prefix="$work/prefix with space"
    cmake --install "$build_dir" --prefix "$prefix" >/dev/null
    (cd "$prefix" && find . -type f | LC_ALL=C sort) >"$work/installed"
    expected_files >"$work/expected"
    diff -u "$work/expected" "$work/installed" || fail "the installed files differ from the expected list"
    [ -x "$prefix/bin/quibsum" ] || fail "bin/quibsum is not executable"
    for program in quibsum-window quibsum-bus; do
        [ -x "$prefix/libexec/quibsum/$program" ] || fail "libexec/quibsum/$program is not executable"
    done
    check_bus_service "$prefix/share/dbus-1/services/org.quibsum.QuibSum.service" "$prefix/bin"
    check_runs "$prefix/bin/quibsum"
    ;;
bus)
    need dbus-run-session dbus-send
    if [ "${QUIBSUM_ON_BUS:-}" != 1 ]; then
        # A private session bus whose services are the installed ones, and a home of its own
        # (not QUIBSUM_DATA_DIR, which would give the instance another bus name).
        cmake --install "$2" --prefix "$work/prefix" >/dev/null
        mkdir -p -m 0700 "$work/runtime" "$work/home"
        # The tests' bus, whose only service folder is the installed one.
        source "$(dirname "$0")/../support/neutral-desktop.sh"
        sed "s|</busconfig>|<servicedir>$work/prefix/share/dbus-1/services</servicedir></busconfig>|" \
            "$test_bus_config" >"$work/bus.conf"
        env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u QUIBSUM_DATA_DIR \
            -u QUIBSUM_CONFIG_DIR -u XDG_DATA_HOME -u XDG_CONFIG_HOME \
            QUIBSUM_ON_BUS=1 HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
            XDG_DATA_DIRS="$work/prefix/share" QT_QPA_PLATFORM=offscreen \
            QUIBSUM_ERAPI_URL=http://127.0.0.1:9/ QUIBSUM_VCB_URL=http://127.0.0.1:9/ \
            timeout -k 5 120 dbus-run-session --config-file="$work/bus.conf" -- "$0" bus "$work/prefix"
        exit
    fi
    prefix=$2
    # Nothing owns the name: the call makes the bus start the program from the service file.
    answer=$(dbus-send --session --print-reply=literal --dest=org.quibsum.QuibSum \
        /org/quibsum/QuibSum org.quibsum.QuibSum1.Calculate string:1+1)
    [ "$(echo $answer)" = 2 ] || fail "Calculate 1+1 answered '$answer', not 2"
    started=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.quibsum.QuibSum | awk '{print $2}')
    command=$(tr '\0' ' ' <"/proc/$started/cmdline")
    [ "$command" = "$prefix/bin/quibsum --hidden " ] || fail "the bus started '$command'"
    ;;
deb)
    build_dir=$2
    seed=$(dirname "$0")/../../QuibSumRates/resources/rates-seed.json
    need dpkg-deb dpkg-shlibdeps lintian hardening-check groff bash
    # Two packages of one build are the same file, time stamps included.
    for out in out again; do
        cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/$out" >"$work/cpack.log" 2>&1 ||
            { cat "$work/cpack.log" >&2; fail "cpack failed"; }
    done
    debs=("$work"/out/quibsum_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single quibsum_*.deb"
    deb=${debs[0]}
    cmp "$deb" "$work/again/$(basename "$deb")" || fail "two packages of one build differ"
    dpkg-deb -I "$deb"
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in libqt6core6 libqt6gui6 libqt6widgets6 libicu72; do
        grep -qw "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
    done
    # Debian's qt6-qpa-plugins holds neither the xcb nor the Wayland plugin.
    if grep -qw qt6-qpa-plugins <<<"$depends"; then fail "Depends names qt6-qpa-plugins: $depends"; fi
    recommends=$(dpkg-deb -f "$deb" Recommends)
    [ "$recommends" = "qt6-wayland, dbus-user-session | dbus-session-bus, xdg-desktop-portal" ] ||
        fail "Recommends is '$recommends'"

    dpkg-deb -x "$deb" "$work/root"
    (cd "$work/root/usr" && find . -type f | LC_ALL=C sort) >"$work/packaged"
    diff -u <(expected_files) "$work/packaged" || fail "the package's files differ from the expected list"
    check_bus_service "$work/root/usr/share/dbus-1/services/org.quibsum.QuibSum.service" /usr/bin
    check_runs "$work/root/usr/bin/quibsum"

    # Every program and the library: Debian's hardening, and stripped as dh_strip does.
    elves=0
    while IFS= read -r -d '' file; do
        [ "$(head -c4 "$file" | od -An -tx1 | tr -d ' ')" = 7f454c46 ] || continue
        elves=$((elves + 1))
        # Debian 12's start files carry no control-flow marks, so no program can (and its
        # build flags do not ask for them). A program calls the checked string functions; a
        # library may show only memcpy, memmove and memset unchecked: those are the copies
        # that the C++ library's strings make with __builtin_memcpy, which no fortifying
        # reaches.
        hardening-check --quiet --nocfprotection --nofortify "$file" >&2 || fail "hardening-check: $file"
        fortify=$(hardening-check --verbose --nocfprotection "$file" | sed -n '/Fortify Source functions:/,/^ [A-Z]/p' || true)
        if ! grep -q 'Fortify Source functions: yes' <<<"$fortify"; then
            unchecked=$(grep -o 'unprotected: .*' <<<"$fortify" | cut -d' ' -f2- | tr ',' '\n' | tr -d ' ' | sort -u)
            [[ "$file" == *.so ]] && [ -z "$(grep -vxE 'memcpy|memmove|memset' <<<"$unchecked")" ] ||
                fail "hardening-check: $file calls unchecked string functions: $unchecked"
        fi
        if readelf -S "$file" | grep -qE ' \.comment |\.note\.gnu\.gold'; then fail "$file keeps a .comment section"; fi
    done < <(find "$work/root" -type f -print0)
    [ "$elves" -eq 4 ] || fail "found $elves ELF files, not 4"

    # The manual page: no formatting warnings, the version in its heading, every command of
    # `quibsum --help` described.
    manual="$work/root/usr/share/man/man1/quibsum.1.gz"
    warnings=$(zcat "$manual" | groff -man -ww -z -t 2>&1) || true
    [ -z "$warnings" ] || fail "the manual page: $warnings"
    version=$("$work/root/usr/bin/quibsum" --version | awk '{print $NF}')
    zcat "$manual" | head -n1 | grep -q "\"Quib Sum $version\"" || fail "the manual page's heading lacks the version $version"
    for command in $("$work/root/usr/bin/quibsum" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR > 1 && NF {print $1}'); do
        zcat "$manual" | grep -q "^\.B[IR]* ${command//-/\\\\-}\b" || fail "the manual page does not describe '$command'"
    done

    # Bash completion offers the commands, a command's options and an option's values.
    completion="$work/root/usr/share/bash-completion/completions/quibsum"
    complete_words() {
        bash -c 'source /usr/share/bash-completion/bash_completion 2>/dev/null || _init_completion() {
                     cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}
                     words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
                 _filedir() { :; }; compopt() { :; }
                 source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
                 _quibsum; printf "%s\n" "${COMPREPLY[@]}"' "$completion" "$@" | LC_ALL=C sort | tr '\n' ' '
    }
    [ "$(complete_words quibsum app)" = "append append-selection " ] ||
        fail "completing 'quibsum app' gave '$(complete_words quibsum app)'"
    [ "$(complete_words quibsum sheet --)" = "--help --json --kind= --rates= --style= " ] ||
        fail "completing 'quibsum sheet --' gave '$(complete_words quibsum sheet --)'"
    [ "$(complete_words quibsum calc --kind "")" = "buy sell transfer " ] ||
        fail "completing 'quibsum calc --kind' gave '$(complete_words quibsum calc --kind "")'"

    # Lintian, pedantic: no error and no warning; what it only notes is shown.
    lintian -I --pedantic --tag-display-limit 0 "$deb" 2>/dev/null | tee "$work/lintian" || true
    if grep -E '^[EW]: ' "$work/lintian" >&2; then fail "lintian reports errors or warnings"; fi
    ;;
*)
    fail "unknown check '$mode'"
    ;;
esac
echo "PASS: $mode"
