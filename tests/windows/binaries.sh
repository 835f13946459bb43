#!/usr/bin/env bash
# The Windows binaries as files: what they import and export, what they carry, and the package.
#
#   binaries.sh            (WIN_BUILD: the win32 build directory, default build/win32)
#
# - glide2x.dll exports only decorated stdcall names _name@N, each one published for Glide 2.x
#   (checked against the published list when /work/shared is there), under the DLL name
#   glide2x.dll.
# - saver.scr and demo.exe import glide2x.dll by name at load time: exactly the published
#   decorated names of the Glide calls the engine makes, every one exported by our DLL; they
#   define none of the Glide layer's code themselves.
# - Static runtimes: the import tables name only system DLLs (and glide2x.dll).
# - 32-bit GUI programs; icon group 101 holds the images of Vellumtide.ico, byte for byte; the
#   version resource says Vellumtide 0.8 on the Moltrane engine.
# - Every translation unit was compiled with -Werror.
# - The package folder and the zip hold the same six files, the texture Default.mtl names among
#   them, the install text with Windows line ends.
source "$(dirname "$0")/windows_lib.sh"

OBJDUMP=i686-w64-mingw32-objdump
NM=i686-w64-mingw32-nm
BIN=$WIN_BUILD/bin
PROGRAMS=(saver.scr demo.exe)
SYSTEM_DLLS="kernel32.dll user32.dll gdi32.dll msvcrt.dll"

# The Glide calls the engine makes, under their published decorated names (glide2x.dll's
# export list of Glide 2.x): the board query and window, output control, clear, swap and
# read-back, the combine and blend state, culling, triangles, and the .3df texture path.
ENGINE_GLIDE_IMPORTS="
_grAlphaBlendFunction@16 _grAlphaCombine@20 _grBufferClear@12 _grBufferSwap@4
_grConstantColorValue@4 _grCullMode@4 _grDrawTriangle@12 _grGlideInit@0 _grGlideShutdown@0
_grLfbReadRegion@28 _grRenderBuffer@4 _grSstControl@4 _grSstQueryHardware@4 _grSstSelect@4
_grSstWinOpen@28 _grTexCombineFunction@8 _gu3dfGetInfo@8 _gu3dfLoad@8
_guColorCombineFunction@4 _guTexAllocateMemory@60 _guTexDownloadMipMap@12 _guTexSource@4"

sorted_words() { tr -s ' \n' '\n\n' | sed '/^$/d' | sort -u; }

# DLL names of a PE file's import table, lower case, one a line.
imported_dlls() {
    "$OBJDUMP" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u
}

# The entries imported from one DLL: "NAME" for imports by name, "#ORDINAL" for the others.
imports_from() {
    "$OBJDUMP" -p "$1" | awk -v dll="$2" '
        /^[ \t]*DLL Name: / { inside = (tolower($3) == tolower(dll)); next }
        /^[ \t]*$/ || /^[ \t]*vma:/ { next }
        !inside { next }
        NF == 3 && $1 ~ /^[0-9a-f]+$/ { print $3; next }
        /<none>/ { print "#" $2; next }
        { inside = 0 }'
}

# The names of a DLL's export name table.
exported_names() {
    "$OBJDUMP" -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^\s*\[ *[0-9]*\] //p' | sort -u
}

check_files_exist() {
    local f
    for f in "${PROGRAMS[@]}" glide2x.dll; do
        if [ ! -f "$BIN/$f" ]; then
            fail "$BIN/$f is missing: run scripts/build-windows first"
            finish
        fi
    done
}

check_dll_exports() {
    local exports
    exports=$(exported_names "$BIN/glide2x.dll")
    local count
    count=$(printf '%s\n' "$exports" | sed '/^$/d' | wc -l)
    if [ "$count" -ge "$(echo "$ENGINE_GLIDE_IMPORTS" | sorted_words | wc -l)" ]; then
        pass "glide2x.dll exports $count names"
    else
        fail "glide2x.dll exports only $count names"
    fi
    local odd
    odd=$(printf '%s\n' "$exports" | grep -v -E '^_(gr|gu)[A-Za-z0-9]+@[0-9]+$' || true)
    expect_eq "$odd" "" "every export of glide2x.dll is a decorated stdcall name _name@N"
    local dll_name
    dll_name=$("$OBJDUMP" -p "$BIN/glide2x.dll" | awk '/^Name[ \t]/ { print $NF; exit }')
    expect_eq "$dll_name" "glide2x.dll" "the export directory names the DLL glide2x.dll"

    local published=$WIN_SOURCE_DIR/../shared/glide-reference.md
    if [ ! -f "$published" ]; then
        echo "skip: the published Glide 2.x export list ($published) is not there"
        return
    fi
    local unpublished
    unpublished=$(comm -23 <(printf '%s\n' "$exports") \
        <(grep -o '`_[A-Za-z0-9]*@[0-9]*`' "$published" | tr -d '`' | sort -u))
    expect_eq "$unpublished" "" "every export of glide2x.dll is a published Glide 2.x name"
}

check_program_imports() {
    local program=$1 exports imports expected
    exports=$(exported_names "$BIN/glide2x.dll")
    imports=$(imports_from "$BIN/$program" glide2x.dll | sort -u)
    expected=$(echo "$ENGINE_GLIDE_IMPORTS" | sorted_words)
    expect_eq "$imports" "$expected" \
        "$program imports by name exactly the engine's Glide calls from glide2x.dll"
    if [ -z "$imports" ]; then
        fail "$program imports nothing from glide2x.dll"
        return
    fi
    local missing
    missing=$(comm -23 <(printf '%s\n' "$imports") <(printf '%s\n' "$exports"))
    expect_eq "$missing" "" "glide2x.dll exports every Glide call $program imports"
}

check_runtime_dlls() {
    local file=$1 allowed=$2 dll extra=""
    for dll in $(imported_dlls "$BIN/$file"); do
        case " $allowed " in
            *" $dll "*) ;;
            *) extra+="$dll " ;;
        esac
    done
    expect_eq "$extra" "" "$file imports only: $allowed"
}

# No code or data of the Glide layer is linked into the programs: none of the symbols defined
# by glide2x.dll's own objects is defined in them (the standard library's shared template
# instances, type information and vtables aside, and the C library's inline printf overloads
# that MinGW's stdio.h emits wherever they are called). The gr*/gu* names the programs list are the
# import library's absolute aliases of their imports, not code.
check_no_glide_code() {
    local objects
    objects=$(find "$WIN_BUILD/src/platform/glide" -path '*/glide_*.dir/*' -name '*.obj' | sort)
    if [ -z "$objects" ]; then
        fail "no object files of the Glide libraries under $WIN_BUILD/src/platform/glide"
        return
    fi
    # shellcheck disable=SC2086
    "$NM" --defined-only $objects 2>/dev/null | awk 'NF == 3 && $2 ~ /^[TDRB]$/ { print $3 }' |
        grep -v -E '^(__ZN?K?St|__ZN9__gnu_cxx|__ZSt|__ZT[ISV]St|___|__Z[0-9]+v?s?n?printf)' | sort -u >"$WIN_TMP/glide-symbols"
    if [ ! -s "$WIN_TMP/glide-symbols" ]; then
        fail "the glide2x objects define no symbols"
        return
    fi
    local program defined shared
    for program in "${PROGRAMS[@]}"; do
        defined=$("$NM" --defined-only "$BIN/$program" | awk 'NF == 3 && $2 ~ /^[TtDdRrBb]$/ { print $3 }' |
            sort -u)
        if ! grep -qx '_WinMain@16' <<<"$defined"; then
            fail "$program has no symbol table to check (WinMain not found)"
            continue
        fi
        shared=$(comm -12 "$WIN_TMP/glide-symbols" <(printf '%s\n' "$defined") | head -n 10)
        expect_eq "$shared" "" "$program carries no code or data of the Glide layer"
    done
}

# check_pe_kind FILE [SUBSYSTEM]: 32-bit x86; for the programs, the Windows GUI subsystem (2),
# so no console window opens beside the scene.
check_pe_kind() {
    local file=$1 format
    format=$("$OBJDUMP" -f "$BIN/$file" | sed -n 's/.*file format //p')
    expect_eq "$format" "pei-i386" "$file is a 32-bit x86 PE file"
    [ $# -ge 2 ] || return 0
    local actual
    actual=$("$OBJDUMP" -p "$BIN/$file" | awk '/^Subsystem/ { print $2 }')
    expect_eq "$actual" "$2" "$file runs in the Windows GUI subsystem"
}

check_resources() {
    local program=$1 ico=$WIN_SOURCE_DIR/src/shell/resources/Vellumtide.ico resources images
    if ! resources=$(python3 "$WIN_SOURCE_DIR/tests/windows/pe_resources.py" exe "$BIN/$program"); then
        fail "$program: its resources could not be read"
        return
    fi
    images=$(python3 "$WIN_SOURCE_DIR/tests/windows/pe_resources.py" ico "$ico")
    expect_eq "$(grep '^group-icon ' <<<"$resources")" "group-icon 101: $images" \
        "$program: icon 101 holds the images of Vellumtide.ico and is its only icon"
    expect_eq "$(grep '^fixed-version ' <<<"$resources")" "fixed-version 0.8.0.0 0.8.0.0" \
        "$program: file and product version 0.8"
    expect_eq "$(grep -c -x -E 'version-string (ProductName=Vellumtide|ProductVersion=0\.8|FileVersion=0\.8)' <<<"$resources")" \
        3 "$program: version strings ProductName Vellumtide, ProductVersion and FileVersion 0.8"
    if grep -q '^version-string [A-Za-z]*=.*Moltrane engine' <<<"$resources"; then
        pass "$program: the version information names the Moltrane engine"
    else
        fail "$program: no version string names the Moltrane engine: $resources"
    fi
    # The screensaver settings list a .scr by its string 1.
    expect_eq "$(grep '^string ' <<<"$resources")" "string 1=Vellumtide" \
        "$program: string 1 (the description the screensaver settings show) is Vellumtide"
}

check_werror() {
    local commands=$WIN_BUILD/compile_commands.json total without
    if [ ! -f "$commands" ]; then
        fail "no $commands"
        return
    fi
    total=$(grep -c '"command":' "$commands")
    without=$(grep '"command":' "$commands" | grep -c -v -- ' -Werror' || true)
    if [ "$total" -gt 0 ] && [ "$without" = 0 ]; then
        pass "all $total translation units were compiled with -Werror"
    else
        fail "$without of $total translation units were compiled without -Werror"
    fi
}

check_package() {
    local zip=$WIN_BUILD/Vellumtide-0.8-win32.zip expected listed f
    expected=$(printf '%s\n' Default.mtl INSTALL-Windows.txt LICENSE.txt README.txt Vellum.3df \
        demo.exe glide2x.dll saver.scr | LC_ALL=C sort)
    expect_eq "$(ls -1 "$WIN_PACKAGE" 2>/dev/null | LC_ALL=C sort)" "$expected" \
        "the package folder holds the eight files"
    listed=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' \
        "$zip" 2>/dev/null | sed -n 's|^Vellumtide-0.8-win32/||p' | sed '/^$/d' | LC_ALL=C sort)
    expect_eq "$listed" "$expected" "the zip holds the eight files in Vellumtide-0.8-win32/"
    rm -rf "$WIN_TMP/unzipped"
    mkdir -p "$WIN_TMP/unzipped"
    python3 -m zipfile -e "$zip" "$WIN_TMP/unzipped" 2>/dev/null
    local differ=""
    for f in $expected; do
        cmp -s "$WIN_PACKAGE/$f" "$WIN_TMP/unzipped/Vellumtide-0.8-win32/$f" || differ+="$f "
    done
    expect_eq "$differ" "" "the zip's files equal the package folder's"
    for f in saver.scr demo.exe glide2x.dll; do
        cmp -s "$WIN_PACKAGE/$f" "$BIN/$f" || differ+="$f "
    done
    expect_eq "$differ" "" "the packaged binaries are the ones just built"
    local texture
    texture=$(tr -d '\r' <"$WIN_PACKAGE/Default.mtl" | grep -i -m1 '\.3df$')
    if [ -n "$texture" ] && [ -f "$WIN_PACKAGE/$texture" ] &&
        [ "$(head -c 6 "$WIN_PACKAGE/$texture")" = "3df v1" ]; then
        pass "the texture Default.mtl names ($texture) is in the package, a .3df file"
    else
        fail "the texture named by Default.mtl ('$texture') is not a .3df file in the package"
    fi
    local lines crlf text
    for text in INSTALL-Windows.txt:Install README.txt:FX_GLIDE_SWAPINTERVAL \
                README.txt:GLIDE_SW_BOARD README.txt:Wine LICENSE.txt:'MIT License'; do
        f=${text%%:*}
        lines=$(wc -l <"$WIN_PACKAGE/$f")
        crlf=$(grep -c $'\r$' "$WIN_PACKAGE/$f")
        if [ "$lines" -gt 10 ] && [ "$lines" = "$crlf" ] && grep -q "${text#*:}" "$WIN_PACKAGE/$f"; then
            pass "$f: $lines lines, each ending in CRLF; it speaks of ${text#*:}"
        else
            fail "$f: $lines lines, $crlf of them ending in CRLF; '${text#*:}' found: $(grep -c "${text#*:}" "$WIN_PACKAGE/$f")"
        fi
    done
    # The steps a Windows user must not miss, and no advice to copy into the system folders.
    if grep -q 'Extract' "$WIN_PACKAGE/INSTALL-Windows.txt" &&
       ! grep -q 'Program Files' "$WIN_PACKAGE/INSTALL-Windows.txt"; then
        pass "INSTALL-Windows.txt says to extract the zip first and uses a per-user folder"
    else
        fail "INSTALL-Windows.txt: no 'Extract' step, or it still suggests Program Files"
    fi
}

check_files_exist
check_dll_exports
for program in "${PROGRAMS[@]}"; do
    check_program_imports "$program"
    check_runtime_dlls "$program" "glide2x.dll $SYSTEM_DLLS"
    check_pe_kind "$program" 00000002
    check_resources "$program"
done
check_runtime_dlls glide2x.dll "$SYSTEM_DLLS"
check_pe_kind glide2x.dll
check_no_glide_code
check_werror
check_package
finish
