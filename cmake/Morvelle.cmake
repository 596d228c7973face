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
