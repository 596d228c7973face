# An in-process COM server: a shared library that links the shared platform and whose
# only exports are the four server entry points (cmake/InprocServer.map), so the system
# code compiled into it (engine, band or formatter code) never interposes with the
# host's. A test (InprocServerExports.<target>) reads its dynamic symbols to check.
function(morvelle_inproc_server target)
    add_library(${target} SHARED ${ARGN})
    set(exports ${PROJECT_SOURCE_DIR}/cmake/InprocServer.map)
    target_link_options(${target} PRIVATE "-Wl,--version-script=${exports}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
    if(NOT MORVELLE_SANITIZE)
        target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
    morvelle_warnings(${target})
    add_test(NAME InprocServerExports.${target}
        COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DMODULE=$<TARGET_FILE:${target}>
                "-DEXPORTS=DllGetClassObject\;DllCanUnloadNow\;DllRegisterServer\;DllUnregisterServer"
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckExports.cmake)
endfunction()
