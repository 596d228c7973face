# Every dependency comes from Debian's packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(GUMBO REQUIRED IMPORTED_TARGET gumbo)
find_package(pugixml REQUIRED)
# Drawing: pixel surfaces, and text with one pinned typeface.
pkg_check_modules(DRAWING REQUIRED IMPORTED_TARGET cairo pangocairo pangoft2 fontconfig)
# The screen: windows with GTK 4, browser views with WebKitGTK 6.
pkg_check_modules(SCREEN REQUIRED IMPORTED_TARGET gtk4 webkitgtk-6.0)

# Pictures from the web: decoded with libvips (platform/image/WebPicture.cpp).
pkg_check_modules(VIPS REQUIRED IMPORTED_TARGET vips)

find_path(FREEIMAGE_INCLUDE_DIR FreeImage.h REQUIRED)
find_library(FREEIMAGE_LIBRARY freeimage REQUIRED)
add_library(FreeImage::FreeImage UNKNOWN IMPORTED)
set_target_properties(FreeImage::FreeImage PROPERTIES
    IMPORTED_LOCATION "${FREEIMAGE_LIBRARY}"
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${FREEIMAGE_INCLUDE_DIR}")

if(MORVELLE_BUILD_TESTS)
    find_package(GTest REQUIRED)
    pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
endif()
