# An in-process COM server: a shared library whose only exports are the four server
# entry points (cmake/InprocServer.map), so the copies of our static libraries inside
# it never interpose with the host's.
function(morvelle_inproc_server target)
    add_library(${target} SHARED ${ARGN})
    set(exports ${PROJECT_SOURCE_DIR}/cmake/InprocServer.map)
    target_link_options(${target} PRIVATE "-Wl,--version-script=${exports}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
    if(NOT MORVELLE_SANITIZE)
        target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
    morvelle_warnings(${target})
endfunction()
