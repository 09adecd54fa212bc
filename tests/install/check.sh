#!/usr/bin/env bash
# Installs the build into a scratch folder and checks what a desktop expects there.
set -u
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
for tool in desktop-file-validate appstreamcli xmllint; do
    command -v $tool > /dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
DESTDIR="$dest" cmake --install "$build" > /dev/null || { echo "FAILED: cmake --install"; exit 1; }
prefix=$(cmake -L -N "$build" | sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p')
root=$dest$prefix
failed=0
check() {  # name, command...
    local name=$1; shift
    "$@" > out.txt 2>&1 || { failed=$((failed + 1)); echo "FAILED: $name"; cat out.txt; }
}
cd "$dest"
check "program installed" test -x "$root/bin/orvell"
check "desktop file valid" desktop-file-validate "$root/share/applications/org.orvell.Orvell.desktop"
check "metainfo valid" appstreamcli validate --no-net "$root/share/metainfo/org.orvell.Orvell.metainfo.xml"
check "MIME types well formed" xmllint --noout "$root/share/mime/packages/org.orvell.Orvell.xml"
check "MIME types for sessions and panels" grep -q 'glob pattern="\*.orv"' "$root/share/mime/packages/org.orvell.Orvell.xml"
check "desktop file opens both types" grep -q '^MimeType=application/x-orvell-session;application/x-orvell-panel;$' \
    "$root/share/applications/org.orvell.Orvell.desktop"
check "icon well formed" xmllint --noout "$root/share/icons/hicolor/scalable/apps/org.orvell.Orvell.svg"
check "29 help topics and the message file" test "$(ls "$root/share/orvell/Help" | grep -c '\.txt$')" -eq 30
check "message file as the program dumps it" "$root/bin/orvell" --dump-messages dumped.txt
check "shipped message file matches" cmp dumped.txt "$root/share/orvell/Help/ORVMesgs.txt"
# Started from a folder without Help/, the installed program reads its own help files.
printf '[Panels]\r\n[HelpView]\r\nVisible=True\r\n[HelpView Data]\r\nHelpIdx=7\r\n' > help.orv
check "installed help opens in the viewer" sh -c "QT_QPA_PLATFORM=offscreen '$root/bin/orvell' --midi virtual \
    --quit-after-start help.orv | grep -Eq '^Help Viewer: Faders, [1-9][0-9]+ characters'"
[ $failed -eq 0 ] && echo "install checks passed"
[ $failed -eq 0 ]
