# Resource manifests and the source generated from them.
#
# A manifest holds one resource a line: "<type> <id> <file>". The type is a decimal
# number or a name of letters, digits and "_" ("HTML" stands for the number 23, the
# platform's type of HTML pages, "DIALOG" for 5, that of dialog templates, and "ICON"
# for 14, that of icons, each a PNG image); the id
# is a number from 1 to 65535; the file, the rest
# of the line, is relative to the manifest's folder. Empty lines and lines starting with
# "#" are skipped. A type and id pair may appear once.
#
# Included by Morvelle.cmake for the parser; run with "cmake -P" (MANIFEST, OUTPUT and
# TARGET_NAME set) it writes the source that holds the bytes and registers the table.

if(CMAKE_SCRIPT_MODE_FILE)
    cmake_minimum_required(VERSION 3.25)
endif()

# Reads a manifest into three lists of equal length: types, ids, absolute file paths.
# A malformed line stops with its line number.
function(morvelle_read_resource_manifest manifest out_types out_ids out_files)
    get_filename_component(base "${manifest}" DIRECTORY)
    file(STRINGS "${manifest}" lines)
    set(types)
    set(ids)
    set(files)
    set(seen)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        string(STRIP "${line}" line)
        if(line STREQUAL "" OR line MATCHES "^#")
            continue()
        endif()
        if(NOT line MATCHES "^([A-Za-z0-9_]+)[ \t]+([0-9]+)[ \t]+(.+)$")
            message(FATAL_ERROR "${manifest}:${number}: expected \"<type> <id> <file>\"")
        endif()
        set(type "${CMAKE_MATCH_1}")
        set(id "${CMAKE_MATCH_2}")
        set(file "${CMAKE_MATCH_3}")
        string(TOUPPER "${type}" upper)
        if(upper STREQUAL "HTML")
            set(type 23)
        elseif(upper STREQUAL "DIALOG")
            set(type 5)
        elseif(upper STREQUAL "ICON")
            set(type 14)
        elseif(type MATCHES "^[0-9]+$")
            math(EXPR type "${type}")
            if(type LESS 1 OR type GREATER 65535)
                message(FATAL_ERROR "${manifest}:${number}: type number out of range")
            endif()
        elseif(NOT type MATCHES "^[A-Za-z_]")
            message(FATAL_ERROR "${manifest}:${number}: a type name starts with a letter")
        endif()
        math(EXPR id "${id}")
        if(id LESS 1 OR id GREATER 65535)
            message(FATAL_ERROR "${manifest}:${number}: id out of range")
        endif()
        if(type MATCHES "^[0-9]+$")
            set(key "${type}/${id}")
        else()
            string(TOUPPER "${type}/${id}" key)
        endif()
        if(key IN_LIST seen)
            message(FATAL_ERROR "${manifest}:${number}: resource ${type} ${id} listed twice")
        endif()
        list(APPEND seen "${key}")
        if(NOT IS_ABSOLUTE "${file}")
            set(file "${base}/${file}")
        endif()
        if(NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
            message(FATAL_ERROR "${manifest}:${number}: no file ${file}")
        endif()
        list(APPEND types "${type}")
        list(APPEND ids "${id}")
        list(APPEND files "${file}")
    endforeach()
    set(${out_types} "${types}" PARENT_SCOPE)
    set(${out_ids} "${ids}" PARENT_SCOPE)
    set(${out_files} "${files}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND MANIFEST AND OUTPUT)
    morvelle_read_resource_manifest("${MANIFEST}" types ids files)
    set(text "// Generated from ${MANIFEST} for ${TARGET_NAME}; do not edit.\n")
    string(APPEND text "#include \"platform/resource/ResourceTable.h\"\n\nnamespace {\n\n")
    set(entries "")
    list(LENGTH files count)
    set(index 0)
    foreach(file IN LISTS files)
        list(GET types ${index} type)
        list(GET ids ${index} id)
        file(READ "${file}" hex HEX)
        string(LENGTH "${hex}" digits)
        math(EXPR size "${digits} / 2")
        if(size EQUAL 0)
            set(bytes "0")
        else()
            string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
            string(REPEAT "0x..," 16 row)
            string(REGEX REPLACE "(${row})" "\\1\n    " bytes "${bytes}")
        endif()
        string(APPEND text "// ${type} ${id}\nconst unsigned char resource${index}[] = {\n    ${bytes}};\n\n")
        if(type MATCHES "^[0-9]+$")
            string(APPEND entries "    {${type}, nullptr, ${id}, resource${index}, ${size}ul},\n")
        else()
            string(APPEND entries "    {0, \"${type}\", ${id}, resource${index}, ${size}ul},\n")
        endif()
        math(EXPR index "${index} + 1")
    endforeach()
    if(count EQUAL 0)
        string(APPEND text "const MorvelleResourceEntry* const entries = nullptr;\n")
    else()
        string(APPEND text "const MorvelleResourceEntry entries[] = {\n${entries}};\n")
    endif()
    string(APPEND text "
const MorvelleResourceTable table = {MORVELLE_RESOURCE_TABLE_VERSION, ${count}u, entries};

struct Registration {
    Registration() { RegisterThisModuleResources(&table); }
} registration;

}  // namespace

extern \"C\" __attribute__((visibility(\"default\"))) const MorvelleResourceTable*
MorvelleModuleResources(void) {
    return &table;
}
")
    file(WRITE "${OUTPUT}" "${text}")
endif()
