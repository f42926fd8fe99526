# Debian's OpenImageIO CMake package names OpenCV include folders that exist
# only when OpenCV is installed; its pkg-config file needs nothing more.
if(NOT TARGET PkgConfig::OIIO)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(OIIO REQUIRED IMPORTED_TARGET OpenImageIO)
endif()
