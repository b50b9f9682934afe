#!/usr/bin/env bash
# Checks the Debian package as an installed program, without installing it on this machine:
# runs lintian on it, which must find no error and no warning; unpacks it into a scratch root
# (dpkg-deb -x), checks what it holds and depends on, that both programs are hardened as Debian
# builds its packages, that the bash completion of brevik-import loads, validates its menu
# entry, metainfo and manual pages, and then runs the unpacked programs as an ordinary user
# (nobody, when run as root) whose home is a scratch folder. That user cannot write the
# programs' folder, as no user can write /usr/bin:
#   - brevik --version and brevik --help answer without a display;
#   - brevik-import --help names the user's configuration folder;
#   - an import without folder options takes the folders an administrator placed beside the
#     programs, while the user's configuration folder has no settings;
#   - once the user's configuration folder holds settings (where the window saves them), an
#     import takes those instead;
#   - the programs' folder is left as it was, and the window program starts.
# Usage: scripts/package-check.sh [DEB]   (default: builds the package with scripts/package.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$(pwd)

scripts/setup.sh check
if [ $# -ge 1 ]; then
    deb=$(realpath "$1")
else
    scripts/package.sh
    deb=$(ls -t "$root_dir"/brevik_*.deb | head -n1)
fi

fail() {
    echo "package-check: $*" >&2
    exit 1
}
step() { echo "package-check: $*"; }

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
root="$scratch/root"
home="$scratch/home"
mkdir -p "$root" "$home"

# Its informational tags are shown too; of them, those of the hardening fail the check.
step "package $(basename "$deb"): lintian"
status=0
lintian --fail-on error,warning --display-info "$deb" >"$scratch/lintian.log" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian.log" || true
[ "$status" -eq 0 ] || fail "lintian finds errors or warnings in $(basename "$deb")"
! grep -q ' hardening-' "$scratch/lintian.log" || fail "lintian finds a program not hardened"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in qt6-qpa-plugins libqt6widgets6 libsqlite3-0; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
dpkg-deb -x "$deb" "$root"

app_id=org.brevik.Brevik
expected=(
    usr/bin/brevik usr/bin/brevik-import
    "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml"
    usr/share/man/man1/brevik.1.gz usr/share/man/man1/brevik-import.1.gz
    usr/share/doc/brevik/copyright usr/share/doc/brevik/changelog.gz
    usr/share/bash-completion/completions/brevik-import
)
for size in 16 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
for size in 16 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" | grep -q "PNG image data, $size x $size" ||
        fail "the ${size}x${size} icon is not a $size x $size PNG"
done

# Stack canaries, checked string and memory calls, and a relocation table that is resolved at
# start and then read-only.
step "hardening of the programs"
# (grep reads the whole of each listing: with pipefail, a grep -q that stops early fails it.)
for program in brevik brevik-import; do
    file="$root/usr/bin/$program"
    grep -q GNU_RELRO <<<"$(readelf --wide --program-headers "$file")" ||
        fail "$program has no read-only relocations (RELRO)"
    grep -qE 'BIND_NOW|FLAGS.*NOW' <<<"$(readelf --wide --dynamic "$file")" ||
        fail "$program is not linked with BIND_NOW"
    grep -q '__stack_chk_fail' <<<"$(readelf --wide --dyn-syms "$file")" || fail "$program has no stack protector"
done
# The window program makes no call that has a checked variant; the tool does (fprintf).
grep -qE '__[a-z0-9_]+_chk@' <<<"$(readelf --wide --dyn-syms "$root/usr/bin/brevik-import")" ||
    fail "brevik-import calls no checked (fortified) function"

step "bash completion of brevik-import"
completion="$root/usr/share/bash-completion/completions/brevik-import"
# Completes "brevik-import $1" (the words before the cursor; the last may be empty) in a bash
# that loaded bash-completion and the package's completion, and prints the candidates.
complete_words() {
    bash --norc --noprofile -c '
        source /usr/share/bash-completion/bash_completion
        source "$1" && complete -p brevik-import >/dev/null && cd "$2" || exit 1
        read -ra COMP_WORDS <<<"brevik-import $3"
        [[ $3 == *" " || -z $3 ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="brevik-import $3"
        COMP_POINT=${#COMP_LINE}
        _brevik_import brevik-import "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        echo "${COMPREPLY[*]}"' bash "$completion" "$scratch/completion" "$1"
}
mkdir -p "$scratch/completion/folder"
touch "$scratch/completion/customers.iif"
# The candidates in sorted order, since files come in the order of the folder.
sorted_words() { tr ' ' '\n' <<<"$1" | sort | paste -sd ' '; }
expect_completion() {
    local got
    got=$(complete_words "$1") || fail "the completion does not load in bash"
    got=$(sorted_words "$got")
    [ "$got" = "$(sorted_words "$2")" ] || fail "brevik-import $1<TAB> offers \"$got\", not \"$2\""
}
expect_completion "" "extract strip import plan backups restore create-database help --help -h --version"
expect_completion "pl" "plan"
expect_completion "plan --" "--data-folder --qb-version --csv --quiet --help"
expect_completion "help i" "import"
expect_completion "import --data-folder " "folder"
expect_completion "create-database " "folder"
expect_completion "plan " "customers.iif folder"

step "menu entry, metainfo and manual pages"
hints=$(desktop-file-validate "$root/usr/share/applications/$app_id.desktop") ||
    fail "the menu entry is not valid: $hints"
[ -z "$hints" ] || fail "the menu entry: $hints"
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$scratch/metainfo.log" ||
    fail "the metainfo: $(cat "$scratch/metainfo.log")"
for page in brevik brevik-import; do
    warnings=$(zcat "$root/usr/share/man/man1/$page.1.gz" | groff -man -ww -z -Tutf8 2>&1)
    [ -z "$warnings" ] || fail "the manual page $page.1: $warnings"
done

# The ordinary user, with nothing of this machine's environment.
runtime="$scratch/runtime"
mkdir -m 700 "$runtime"
environment=(HOME="$home" XDG_RUNTIME_DIR="$runtime" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen)
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$home" "$runtime"
    as_user() { setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups env -i "${environment[@]}" "$@"; }
else
    as_user() { env -i "${environment[@]}" "$@"; }
fi
bin="$root/usr/bin"
user_folder="$home/.config/Brevik"
# The sample, where the user can read it: the checkout may lie in a folder that only root may
# enter (one made by mktemp -d, say).
sample="$scratch/sample_customers.iif"
install -m 644 "$root_dir/tests/data/sample_customers.iif" "$sample"

# Without a display the window program would stop at once; these two need none.
step "brevik --version and brevik --help as $(as_user id -un), without a display"
answer=$(as_user env -u QT_QPA_PLATFORM "$bin/brevik" --version) || fail "brevik --version ended with status $?"
[ "$answer" = "brevik $version" ] || fail "brevik --version prints \"$answer\", not \"brevik $version\""
answer=$(as_user env -u QT_QPA_PLATFORM "$bin/brevik" --help) || fail "brevik --help ended with status $?"
grep -q '^Usage: brevik' <<<"$answer" || fail "brevik --help prints no usage: $answer"

step "brevik-import --help as $(as_user id -un)"
help=$(as_user "$bin/brevik-import" --help)
grep -qF "$user_folder" <<<"$help" || fail "--help does not name $user_folder"

# Defaults an administrator placed beside the programs; then no one may write there.
for name in defaults mine; do
    as_user mkdir -p "$home/$name/data" "$home/$name/quickbooks"
    as_user "$bin/brevik-import" create-database "$home/$name/data" >/dev/null
    as_user cp "$sample" "$home/$name/quickbooks/"
done
printf '%s\r\n%s\r\n' "$home/defaults/data" "$home/defaults/quickbooks" >"$bin/zrQBck.dat"
chmod 555 "$bin"
before=$(ls -la "$bin")
as_user touch "$bin/probe" 2>/dev/null && fail "the user can write the programs' folder $bin"

import_into() {
    local name=$1
    local summary
    summary=$(as_user "$bin/brevik-import" import "$home/$name/quickbooks/sample_customers.iif" | tail -n1)
    grep -qE 'clients added: [1-9]' <<<"$summary" || fail "the import into $name did not add clients: $summary"
    [ -f "$home/$name/quickbooks/QBCUST.TXT" ] || fail "the import did not write QBCUST.TXT in $name"
    step "  $summary"
}

step "demo import with the administrator's defaults"
import_into defaults
[ ! -e "$user_folder" ] || fail "an import wrote into $user_folder"

step "demo import with the user's own settings in $user_folder"
as_user mkdir -p "$user_folder"
as_user sh -c 'printf "%s\r\n%s\r\n" "$1" "$2" >"$3"' sh "$home/mine/data" "$home/mine/quickbooks" \
    "$user_folder/zrQBck.dat"
import_into mine

[ "$(ls -la "$bin")" = "$before" ] || fail "the programs' folder changed"

step "the window program starts"
status=0
as_user timeout 3 "$bin/brevik" >"$scratch/brevik.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "brevik ended with status $status before it was stopped: $(cat "$scratch/brevik.log")"

echo "package-check: $(basename "$deb") passed"
