# Sourced by scripts/package: the Windows Installer package of a saver,
# installer/saver.wxs filled in and built with wixl. Refusals call the
# caller's fail.

# The namespace of the savers' upgrade codes and component codes. Changing
# it would make every package a stranger to the ones installed before.
msi_namespace=85837565-a773-4e9b-b1be-099555c211bf
# The folder of every saver's install directory; its component code is the
# same in every package, so that Windows Installer removes the folder with
# the last saver in it.
msi_savers_folder_guid=03b4928a-76b3-4eb0-ab04-c6e10e6ff2a1

# msi_uuid5 NAMESPACE NAME: the name-based UUID of NAME (SHA-1, RFC 4122).
msi_uuid5() {
    local hex
    hex="$({ printf "$(sed 's/-//g; s/../\\x&/g' <<<"$1")"; printf '%s' "$2"; } | sha1sum | cut -c1-32)"
    printf '%s-%s-5%s-%x%s-%s\n' "${hex:0:8}" "${hex:8:4}" "${hex:13:3}" $(((0x${hex:16:1} & 3) | 8)) \
        "${hex:17:3}" "${hex:20:12}"
}

# msi_upgrade_code NAME: the same for every package of the name, in any
# case, as Windows sees one file NAME.scr in any case.
msi_upgrade_code() {
    local LC_ALL=C.UTF-8 code
    code="$(msi_uuid5 "$msi_namespace" "${1,,}")"
    echo "${code^^}"
}

# msi_xml TEXT: TEXT for an XML attribute of wixl's, which reads "$$" as "$".
msi_xml() {
    local text=${1//\$/'$$'}
    text=${text//&/'&amp;'}
    text=${text//</'&lt;'} text=${text//>/'&gt;'} text=${text//\"/'&quot;'}
    printf '%s' "${text//\'/'&apos;'}"
}

# msi_formatted TEXT: TEXT for a formatted column, where [ ] { } are
# written [\[] and so on so that they stand for themselves.
msi_formatted() {
    local LC_ALL=C.UTF-8 text=$1 out="" c i
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        case "$c" in
            '['|']'|'{'|'}') out+="[\\$c]" ;;
            *) out+=$c ;;
        esac
    done
    printf '%s' "$out"
}

# msi_product_name NAME: the name Add or Remove Programs shows, as the
# setup program's entry names it where it fits Windows Installer's 63
# characters: NAME (screen saver), else NAME, else NAME cut short with "...".
msi_product_name() {
    local LC_ALL=C.UTF-8 shown="$1 (screen saver)"
    if [ ${#shown} -le 63 ]; then echo "$shown"
    elif [ ${#1} -le 63 ]; then echo "$1"
    else echo "${1:0:60}..."; fi
}

# msi_check_version VERSION: Windows Installer compares three numbers, the
# first two at most 255.
msi_check_version() {
    local major minor
    IFS=. read -r major minor _ <<<"$1"
    [ $((10#$major)) -le 255 ] && [ $((10#$minor)) -le 255 ] ||
        fail "the version '$1' does not fit a Windows Installer package, whose first two numbers are at most 255"
}

# msi_next_version VERSION: the least version above VERSION.
msi_next_version() {
    local major minor build
    IFS=. read -r major minor build <<<"$1"
    major=$((10#$major)) minor=$((10#$minor)) build=$((10#$build))
    if [ "$build" -lt 65535 ]; then echo "$major.$minor.$((build + 1))"
    elif [ "$minor" -lt 255 ]; then echo "$major.$((minor + 1)).0"
    else echo "$((major + 1)).0.0"; fi
}

# wixl takes sources by paths relative to the directory it runs in: the
# files go in through links in the work directory.

# msi_program_files DIR UPGRADE_CODE: prints the XML of the install
# directory's tree under Program Files, one component a file or folder (a
# folder's creates it, so that even an empty one is removed again), and sets
# MSI_COMPONENT_REFS to their references. Component codes follow from the
# upgrade code and the path, the same in every version. DIR's
# "screensaver.cfg" goes in as "screensaver.cfg.shipped", which the
# settings actions copy from; the viewer's registry value names the folder.
# DIR is linked to as "install" in the directory wixl runs in.
msi_program_files() {
    local dir=$1 upgrade=$2
    MSI_COMPONENT_REFS="" msi_count=0
    echo '<Directory Id="ProgramFilesFolder"><Directory Id="SaversFolder" Name="Ormelix Savers">'
    msi_component SaversFolder "$msi_savers_folder_guid" '<CreateFolder/>'
    echo "<Directory Id=\"INSTALLDIR\" Name=\"$(msi_xml "$name")\">"
    msi_component ViewerKey "$(msi_uuid5 "$upgrade" ":viewer key")" \
        "<RegistryValue Root=\"HKLM\" Key=\"SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000\\$(msi_xml "$(msi_formatted "$name")")\" Name=\"DisplayName\" Value=\"[SAVERDIRECTORY]\" Type=\"string\"/>"
    msi_component ShippedSettings "$(msi_uuid5 "$upgrade" "/screensaver.cfg.shipped")" \
        "<File Id=\"ShippedSettings\" Name=\"screensaver.cfg.shipped\" Source=\"install/screensaver.cfg\"/>"
    msi_folder "$dir" "$upgrade" ""
    echo '</Directory></Directory></Directory>'
}

# msi_component ID GUID XML: one component holding XML, referenced.
msi_component() {
    echo "<Component Id=\"$1\" Guid=\"$2\">$3</Component>"
    MSI_COMPONENT_REFS+="<ComponentRef Id=\"$1\"/>"
}

# msi_folder DIR UPGRADE_CODE REL: the components of DIR/REL, then of each
# folder in it.
msi_folder() {
    local dir=$1 upgrade=$2 rel=$3 entry lower
    local LC_ALL=C.UTF-8
    msi_component "c$((++msi_count))" "$(msi_uuid5 "$upgrade" "${rel,,}/")" '<CreateFolder/>'
    while IFS= read -r -d '' entry; do
        [ "$rel/$entry" != /screensaver.cfg ] || continue
        lower="$rel/$entry"
        msi_component "c$((++msi_count))" "$(msi_uuid5 "$upgrade" "${lower,,}")" \
            "<File Id=\"f$msi_count\" Name=\"$(msi_xml "$entry")\" Source=\"$(msi_xml "install$rel/$entry")\"/>"
    done < <(cd "$dir$rel" && find . -mindepth 1 -maxdepth 1 -type f -printf '%P\0' | sort -z)
    while IFS= read -r -d '' entry; do
        echo "<Directory Id=\"d$((++msi_count))\" Name=\"$(msi_xml "$entry")\">"
        msi_folder "$dir" "$upgrade" "$rel/$entry"
        echo '</Directory>'
    done < <(cd "$dir$rel" && find . -mindepth 1 -maxdepth 1 -type d -printf '%P\0' | sort -z)
}

# msi_check_inputs VERSION PUBLISHER DESCRIPTION CODEPAGE: what the package
# needs beyond the setup program's checks: wixl, the custom actions, a
# version Windows Installer can compare, texts the package's code page holds.
msi_check_inputs() {
    local text
    command -v wixl >/dev/null && command -v msibuild >/dev/null ||
        fail "wixl or msibuild not found; install Debian's wixl, wixl-data and msitools (scripts/setup does)"
    [ -f "$ORMELIX_BIN/setupactions.dll" ] || fail "no setupactions.dll at $ORMELIX_BIN; run scripts/build"
    [ -z "$1" ] || msi_check_version "$1"
    for text in "$2" "$3"; do
        iconv -f UTF-8 -t "CP$((10#$4))" <<<"$text" >/dev/null 2>&1 ||
            fail "'$text' holds characters code page $4 lacks, in which the package holds its texts"
    done
}

# msi_build OUTFILE: the package of the saver $SAVER_SCR for $name in code
# page $codepage, with $version, $publisher, $description, $icon and the
# install directory $source (none if empty), written to OUTFILE; work files
# go to $work.
msi_build() {
    local out=$1 upgrade text size words=() program_files="" refs="" arp=""
    upgrade="$(msi_upgrade_code "$name")"
    size=$(stat -c %s "$SAVER_SCR")
    ln -s "$(readlink -f -- "$SAVER_SCR")" "$work/saver.scr"
    cp "$ORMELIX_BIN/setupactions.dll" "$work/setupactions.dll"
    if [ -n "${ORMELIX_SIGN_PKCS12:-}" ]; then
        "$root/scripts/lib/sign-file" "$work/setupactions.dll" || fail "signing the custom actions failed"
    fi
    if [ -n "$source" ]; then
        ln -s "$(readlink -f -- "$source")" "$work/install"
        msi_program_files "$source" "$upgrade" >"$work/program-files.xml"
        program_files="$(<"$work/program-files.xml")" refs=$MSI_COMPONENT_REFS
        size=$((size + $(find "$source" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }') +
                $(stat -c %s "$source/screensaver.cfg")))
    fi
    [ -z "$description" ] || arp+="<Property Id=\"ARPCOMMENTS\" Value=\"$(msi_xml "$description")\"/>"
    if [ -n "$icon" ]; then
        ln -s "$(readlink -f -- "$icon")" "$work/saver.ico"
        arp+='<Icon Id="saver.ico" SourceFile="saver.ico"/><Property Id="ARPPRODUCTICON" Value="saver.ico"/>'
    fi
    words=(
        PRODUCT_CODE "$(tr a-f A-F </proc/sys/kernel/random/uuid)" UPGRADE_CODE "$upgrade"
        PRODUCT_NAME "$(msi_xml "$(msi_product_name "$name")")"
        NAME "$(msi_xml "$name")" NAME_FORMATTED "$(msi_xml "$(msi_formatted "$name")")"
        VERSION "$version" NEXT_VERSION "$(msi_next_version "$version")"
        PUBLISHER "$(msi_xml "${publisher:-Velcor}")" CODEPAGE "$((10#$codepage))"
        NAME_BYTES_PROPERTY "$(beyond_ascii "$name" && echo "<Property Id=\"SAVERNAMEBYTES\" Value=\"$(
            printf '%s' "$name" | iconv -f UTF-8 -t "CP$((10#$codepage))" | od -An -v -tx1 | tr -d ' \n')\"/>")"
        LONGEST_ENTRY_PROPERTY "$([ -z "$source" ] || echo "<Property Id=\"SAVERLONGESTENTRY\" Value=\"$SHIP_LONGEST_ENTRY\"/>")"
        LONGEST_PATH "$ship_longest_path" SIZE_KB "$(((size + 1023) / 1024))" ARP_PROPERTIES "$arp"
        SAVER_GUID "$(msi_uuid5 "$upgrade" ":saver")" PROGRAM_FILES "$program_files" COMPONENT_REFS "$refs")
    text="$(<"$root/installer/saver.wxs")"
    local i
    for ((i = 0; i < ${#words[@]}; i += 2)); do
        text=${text//"@${words[i]}@"/"${words[i + 1]}"}
    done
    printf '%s\n' "$text" >"$work/saver.wxs"
    (cd "$work" && LC_ALL=C.UTF-8 wixl -a x86 -o "$out" saver.wxs) >"$work/wixl.log" 2>&1 ||
        { cat "$work/wixl.log" >&2; fail "wixl could not build the package"; }
    # wixl leaves the database's code page neutral, which Windows Installer
    # reads in the machine's ANSI code page: another Windows would install
    # the saver under another name. It is set afterwards.
    printf '\r\n\r\n%s\t_ForceCodepage\r\n' "$((10#$codepage))" >"$work/_ForceCodepage.idt"
    msibuild "$out" -i "$work/_ForceCodepage.idt" >"$work/msibuild.log" 2>&1 ||
        { cat "$work/msibuild.log" >&2; fail "msibuild could not set the package's code page"; }
}
