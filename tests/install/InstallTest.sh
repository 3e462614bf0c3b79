#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as outsiders would:
# a CMake project and a pkg-config build of tests/consumer/main.cpp must print
# what the installed tincture command says, and the installed commands must
# work after the prefix is moved, with the source and build trees hidden.
#   InstallTest.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
# The scratch folder is named after this shell's pid; one left by a run that
# was killed (a ctest timeout) is removed by the next run.
for left in "${TMPDIR:-/tmp}"/menutone-install-*-*; do
    owner=${left##*/menutone-install-}
    owner=${owner%%-*}
    if [ -d "$left" ] && [ "$owner" -gt 0 ] 2>/dev/null && ! kill -0 "$owner" 2>/dev/null; then
        rm -rf "$left"
    fi
done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/menutone-install-$$-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM

fail() {
    echo "InstallTest: $*" >&2
    exit 1
}

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null
colors=("#ff0000" "#3498db" "#0F0")

# The colour library through find_package(Tincture).
cmake -S "$source_dir/tests/consumer" -B "$scratch/cmake-consumer" -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/cmake-consumer" >/dev/null
from_cmake=$("$scratch/cmake-consumer/tincture-consumer" "${colors[@]}")

# And through pkg-config.
pc_file=$(find "$scratch/prefix" -name tincture.pc | head -n 1)
[ -n "$pc_file" ] || fail "no tincture.pc was installed"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$pc_file")
# shellcheck disable=SC2046
c++ "$source_dir/tests/consumer/main.cpp" -o "$scratch/pkg-config-consumer" $(pkg-config --cflags --libs tincture)
from_pkg_config=$("$scratch/pkg-config-consumer" "${colors[@]}")

# The value types alone, in C++17 and C++23, through the CMake package and
# through pkg-config; each checks that no runtime library was loaded for it.
for standard in 17 23; do
    cmake -S "$source_dir/tests/consumer-core" -B "$scratch/core-$standard" -DCMAKE_PREFIX_PATH="$scratch/prefix" -DCMAKE_CXX_STANDARD=$standard >/dev/null
    cmake --build "$scratch/core-$standard" >/dev/null
    from_core[$standard]=$("$scratch/core-$standard/tincture-core-consumer" "${colors[@]}") || fail "the C++$standard value-type consumer failed"
done
# shellcheck disable=SC2046
c++ -std=c++17 "$source_dir/tests/consumer-core/main.cpp" -o "$scratch/pkg-config-core" $(pkg-config --cflags --libs tincture-core)
from_core_pkg_config=$("$scratch/pkg-config-core" "${colors[@]}") || fail "the pkg-config value-type consumer failed"
! pkg-config --cflags tincture-core | grep -q -e '-std' || fail "tincture-core.pc sets a C++ standard"

# The independent truth: the installed command's own answer.
expected=""
for color in "${colors[@]}"; do
    flat=$("$scratch/prefix/bin/tincture" flatten "$color" | cut -d' ' -f1)
    expected+="$color -> $flat"$'\n'
done
expected=${expected%$'\n'}
[ "$from_cmake" = "$expected" ] || fail "the CMake consumer printed"$'\n'"$from_cmake"$'\n'"instead of"$'\n'"$expected"
[ "$from_pkg_config" = "$expected" ] || fail "the pkg-config consumer printed"$'\n'"$from_pkg_config"$'\n'"instead of"$'\n'"$expected"
for from in "${from_core[17]}" "${from_core[23]}" "$from_core_pkg_config"; do
    [ "$from" = "$expected" ] || fail "a value-type consumer printed"$'\n'"$from"$'\n'"instead of"$'\n'"$expected"
done

# Nothing installed at the top of include/ but the project's own folder.
[ "$(ls "$scratch/prefix/include")" = "menutone" ] || fail "include/ holds $(ls "$scratch/prefix/include")"

# Completions where bash-completion, zsh and fish look, and the man pages.
for file in share/bash-completion/completions/menutone share/zsh/site-functions/_menutone share/fish/vendor_completions.d/menutone.fish \
    share/bash-completion/completions/tincture share/man/man1/menutone.1 share/man/man1/tincture.1; do
    [ -s "$scratch/prefix/$file" ] || fail "no $file was installed"
done
offered=$(bash -c 'source "$1"; COMP_WORDS=(menutone def); COMP_CWORD=1; _menutone; echo "${COMPREPLY[*]}"' - \
    "$scratch/prefix/share/bash-completion/completions/menutone")
[ "$offered" = "defaults" ] || fail "the installed bash completion offered '$offered' for 'menutone def'"
grep -q 'menutone defaults read' "$scratch/prefix/share/man/man1/menutone.1" || fail "the man page does not lay out defaults read"
grep -q 'EXIT STATUS' "$scratch/prefix/share/man/man1/menutone.1" || fail "the man page has no EXIT STATUS"
! grep -q "$build_dir" "$scratch/prefix/share/man/man1/menutone.1" || fail "the man page names the build tree"

# The prefix moved, and the trees it came from out of sight.
mv "$scratch/prefix" "$scratch/moved"
cp "$source_dir/tests/install/PageLoad.py" "$scratch/PageLoad.py"
use_installed='
    set -e
    bin=$1/bin
    cd "$2" # the working folder may be hidden
    XDG_DATA_HOME="$2/data" "$bin/menutone" --help >"$2/help.txt"
    "$bin/menutone" root create "$2/root" >/dev/null
    "$bin/menutone" --root "$2/root" preview --app com.apple.mobilemail -o "$2/menu.png" --json >"$2/preview.json"
    "$bin/menutone" --root "$2/root" defaults write com.harbrook.Menutone shortcutTitleColor -int 25
    "$bin/tincture" flatten "#ff0000" >"$2/flat.txt"
    "$bin/menutone" --root "$2/root" settings --do show --json >"$2/settings.json"
    "$bin/menutone" --root "$2/root" simulator --port 0 >"$2/simulator.out" 2>&1 &
    simulator=$!
    loaded=0
    python3 "$2/PageLoad.py" "$2/simulator.out" >"$2/page.txt" 2>&1 || loaded=$?
    kill -TERM $simulator # a background job of a script ignores SIGINT until it takes it
    wait $simulator
    [ $loaded -eq 0 ] || { cat "$2/page.txt" "$2/simulator.out" >&2; exit 1; }
'
hidden="mount -t tmpfs none '$source_dir' || exit 1; mount -t tmpfs none '$build_dir' 2>/dev/null || true"
if unshare -rm true 2>/dev/null; then
    unshare -rm bash -c "$hidden; bash -c '$use_installed' - '$scratch/moved' '$scratch'" ||
        fail "the installed commands failed with the source and build trees hidden"
else
    echo "InstallTest: cannot hide the trees here (no user namespaces); running the moved prefix in plain sight" >&2
    bash -c "$use_installed" - "$scratch/moved" "$scratch" || fail "the installed commands failed from a moved prefix"
fi
grep -q "else $scratch/data/menutone/root)" "$scratch/help.txt" || fail "the installed --help names another default root: $(grep -e --root "$scratch/help.txt")"
[ -s "$scratch/menu.png" ] || fail "preview drew no picture"
grep -q '"app":"com.apple.mobilemail"' "$scratch/preview.json" || fail "preview printed $(cat "$scratch/preview.json")"
grep -q '^#E84E3C' "$scratch/flat.txt" || fail "tincture printed $(cat "$scratch/flat.txt")"
grep -q '"screen"' "$scratch/settings.json" || fail "the installed Settings app printed $(head -c 300 "$scratch/settings.json")"
echo "InstallTest: passed"
