#!/usr/bin/env bash
# The installed tree: cmake --install of this build into a scratch prefix gives programs
# that run and find their templates there, and desktop files that the desktop's own
# validators and the MIME database accept.
# Usage: install_test.sh CMAKE BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
cmake=$1
build=$2
source_dir=$3
version=$4
source "$(dirname "$0")/../cli/check_lib.sh"
prefix=$work/prefix
share=$prefix/share
id=com.zarvekdata.Vocanta

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1
st=$?
check "cmake --install succeeds" '[ $st -eq 0 ]'
# The Python module, where it was built, goes where Debian's python3 looks under the prefix.
top="bin share "
python_dir=$prefix/lib/python3/dist-packages
if ls "$build"/src/python/vocanta.*.so >/dev/null 2>&1; then top="bin lib share "; fi
check "only bin, share and the Python module, and no test program, are installed" \
  '[ "$(ls "$prefix" | tr "\n" " ")" = "$top" ] && [ "$(ls "$prefix/bin" | tr "\n" " ")" = "vocanta vocanta-cli " ]'

cli=$prefix/bin/vocanta-cli
check "vocanta-cli --version prints the project's version" \
  '[ "$("$cli" --version)" = "vocanta-cli $version" ]'
# Answered before a display is asked for, so that it works over ssh.
check "vocanta --version prints it without a display" \
  '[ "$(DISPLAY= WAYLAND_DISPLAY= "$prefix/bin/vocanta" --version)" = "vocanta $version" ]'

# The desktop program looks for its templates in ../share/vocanta/templates from bin.
templates=$prefix/bin/../share/vocanta/templates
check "the templates and their index are installed" \
  '[ -f "$templates/index.txt" ] && [ $(ls "$templates"/*.vta | wc -l) -eq $(ls "$source_dir"/examples/templates/*.vta | wc -l) ]'
check "every template the index names is there" \
  'cut -f1 "$templates/index.txt" | while read -r f; do [ -z "$f" ] || [ -f "$templates/$f" ] || exit 1; done'
"$cli" build "$templates/women_ae.vta" -o "$work/women_ae.smp" >"$work/out" 2>&1
st=$?
"$cli" info "$work/women_ae.smp" >"$work/info" 2>&1
check "the installed tool builds an installed template into a sample file" \
  '[ $st -eq 0 ] && grep -qx "file=samp" "$work/info" && grep -q "^length: [1-9][0-9]* samples" "$work/info"'
if [ "$top" = "bin lib share " ]; then
  # A module built with the sanitizers needs their runtime loaded before the interpreter.
  python() {
    if [ -n "${VOCANTA_PYTHON_PRELOAD:-}" ]; then
      LD_PRELOAD=$VOCANTA_PYTHON_PRELOAD ASAN_OPTIONS=detect_leaks=0 /usr/bin/python3 "$@"
    else
      /usr/bin/python3 "$@"
    fi
  }
  check "the module and its stubs are installed" \
    '[ -f "$python_dir/vocanta.pyi" ] && ls "$python_dir"/vocanta.*.so >/dev/null'
  check "python3 imports the installed module" \
    'PYTHONPATH=$python_dir python -c "import vocanta; vocanta.Voice()"'
  (cd "$work" && PYTHONPATH=$python_dir python "$prefix/share/vocanta/python/f1_continuum.py" \
    "$templates/men_ih_eh_f1_continuum.vta" continuum 2 >"$work/continuum.out" 2>&1)
  st=$?
  check "the installed continuum example writes one WAV per step, named by its F1" \
    '[ $st -eq 0 ] && [ "$(ls "$work/continuum" | tr "\n" " ")" = "f1_390Hz.wav f1_460Hz.wav f1_530Hz.wav " ]'
fi
check "the example document is installed" '[ -f "$share/vocanta/sung_vowel_a.vta" ]'

desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" >"$work/desktop" 2>&1
st=$?
check "desktop-file-validate accepts the entry (hints aside)" \
  '[ $st -eq 0 ] && ! grep -qE "(error|warning):" "$work/desktop"'
# Sample files have a type of their own for file managers, but the program opens only
# documents: a double-click on a sample file must not offer it.
check "the entry opens documents and no sample files" \
  'grep -qx "Exec=vocanta %f" "$desktop" && grep -qx "MimeType=application/x-vocanta-document;" "$desktop"'

metainfo=$share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/metainfo" 2>&1
st=$?
check "appstreamcli validate accepts the metainfo" '[ $st -eq 0 ]'
check "the metainfo's release is the project's version" \
  'grep -qF "<release version=\"$version\"" "$metainfo"'

check "icons are PNGs of their size" '(for s in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${s}x$s/apps/$id.png
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d " \n")" = 89504e470d0a1a0a ] || exit 1
    size=$(od -An -tu1 -j16 -N8 "$png" | awk "{print \$1*16777216+\$2*65536+\$3*256+\$4, \$5*16777216+\$6*65536+\$7*256+\$8}")
    [ "$size" = "$s $s" ] || exit 1
  done)'
check "the scalable icon is an SVG" 'xmllint --noout "$share/icons/hicolor/scalable/apps/$id.svg"'

check "the MIME types are well-formed XML" 'xmllint --noout "$share/mime/packages/vocanta.xml"'
# Its errors do not change its exit status; without the data folder in its search path
# it would also print a note.
XDG_DATA_HOME=$share update-mime-database "$share/mime" >"$work/mime" 2>&1
st=$?
check "update-mime-database takes the MIME types without complaint" '[ $st -eq 0 ] && [ ! -s "$work/mime" ]'
type_of() {
  XDG_DATA_HOME=$share XDG_DATA_DIRS=/usr/share gio info -a standard::content-type "$1" |
    sed -n 's/^ *standard::content-type: //p'
}
# Without their extension the files are known by their content alone: the documents of
# every age and letter case in the source tree, and a sample file.
mkdir "$work/bare"
n=0
for doc in "$source_dir"/examples/*.vta "$source_dir"/examples/templates/*.vta \
  "$source_dir"/tests/data/*.vta "$source_dir"/fuzz/corpus/documents/*.vta; do
  n=$((n + 1))
  cp "$doc" "$work/bare/doc$n"
done
check "every document is a document by name and by content" '(for f in "$work"/bare/doc* "$source_dir"/tests/data/*.vta; do
    [ "$(type_of "$f")" = application/x-vocanta-document ] || { echo "  not a document: $f"; exit 1; }
  done)'
printf '[Common]\r\nFiletype=Other\r\n' >"$work/bare/other_ini"
check "another INI file is not a document" '[ "$(type_of "$work/bare/other_ini")" = text/plain ]'
cp "$work/women_ae.smp" "$work/bare/samples"
check "a sample file is one by name and by content" \
  '[ "$(type_of "$work/women_ae.smp")" = application/x-vocanta-samples ] && [ "$(type_of "$work/bare/samples")" = application/x-vocanta-samples ]'

for page in "$source_dir"/data/man/*.1; do
  [ -e "$page" ] || continue
  installed=$share/man/man1/$(basename "$page").gz
  MANPAGER=cat MANWIDTH=80 man --warnings -l "$installed" >/dev/null 2>"$work/man"
  st=$?
  check "$(basename "$page") is installed and man reads it without warnings" \
    '[ $st -eq 0 ] && [ ! -s "$work/man" ] && gzip -t "$installed"'
  check "$(basename "$page") names the project's version" \
    'zcat "$installed" | grep -qF "\"Vocanta $version\""'
done
if [ -e "$source_dir/data/completion/vocanta-cli" ]; then
  completion=$share/bash-completion/completions/vocanta-cli
  bash -c 'source "$1"' _ "$completion" >"$work/completion" 2>&1
  st=$?
  check "the bash completion is installed and sources cleanly" \
    '[ -f "$completion" ] && [ $st -eq 0 ] && [ ! -s "$work/completion" ]'
fi
check "the licence and copyright are installed" \
  'cmp -s "$source_dir/LICENSE" "$share/doc/vocanta/LICENSE" && [ -f "$share/doc/vocanta/copyright" ]'
finish
