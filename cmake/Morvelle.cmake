# Build rules shared by every target of the project.

if(MORVELLE_SANITIZE)
    add_compile_options(-fsanitize=${MORVELLE_SANITIZE} -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${MORVELLE_SANITIZE})
    if(MORVELLE_SANITIZE MATCHES "undefined")
        add_compile_options(-fno-sanitize-recover=undefined)
    endif()
endif()

# Our own code builds warning-free; third-party headers are included as system headers.
function(morvelle_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Collects the sources of one folder tree. New files are picked up at the next build.
function(morvelle_sources out dir)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
        "${dir}/*.cpp" "${dir}/*.c")
    set(${out} ${found} PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake)
set(MORVELLE_EMBED_RESOURCES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake)

# Builds the resources a manifest lists (format: cmake/EmbedResources.cmake) into a
# program or shared library: a generated source holds their bytes and registers them as
# the module's resources (platform/resource/Resource.h), and the module exports them
# to whoever loads it by path. One manifest per module.
#   morvelle_embed_resources(target MANIFEST resources/quillet.manifest)
function(morvelle_embed_resources target)
    cmake_parse_arguments(ARG "" "MANIFEST" "" ${ARGN})
    if(NOT ARG_MANIFEST)
        message(FATAL_ERROR "morvelle_embed_resources(${target}): MANIFEST is missing")
    endif()
    get_target_property(kind ${target} TYPE)
    if(NOT kind MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
        message(FATAL_ERROR "morvelle_embed_resources(${target}): resources belong to a "
                            "program or a shared library, not to a ${kind}")
    endif()
    get_target_property(done ${target} MORVELLE_RESOURCES)
    if(done)
        message(FATAL_ERROR "morvelle_embed_resources(${target}): one manifest per module")
    endif()
    set_target_properties(${target} PROPERTIES MORVELLE_RESOURCES ON)

    get_filename_component(manifest "${ARG_MANIFEST}" ABSOLUTE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest}")
    morvelle_read_resource_manifest("${manifest}" types ids files)
    set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp")
    add_custom_command(OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -DMANIFEST=${manifest} -DOUTPUT=${output}
                -DTARGET_NAME=${target} -P ${MORVELLE_EMBED_RESOURCES_SCRIPT}
        DEPENDS "${manifest}" ${files} ${MORVELLE_EMBED_RESOURCES_SCRIPT}
        COMMENT "Embedding the resources of ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE "${output}")
    target_link_libraries(${target} PRIVATE platform)
endfunction()
