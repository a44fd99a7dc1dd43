# CPack settings for the Debian package. Include this from the top-level CMakeLists.txt
# just before include(CPack), which reads these variables.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME irobunkai)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "irobunkai developers")
set(CPACK_PACKAGE_CONTACT "irobunkai developers <irobunkai@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Wherever cpack is started from, the package lands in the build directory.
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the long part.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Irobunkai (色分解) shows a picture, a built-in sample or a file you choose,
and splits it into three views of its red, green and blue channels.
Clicking the picture reads out that pixel's colour in decimal, in
hexadecimal and as red, green and blue numbers.")

# dpkg-shlibdeps (dpkg-dev) derives the linked libraries and their version floors from the
# binary itself: libqt6core6, libqt6gui6, libqt6widgets6, libgomp1, libstdc++6, libgcc-s1,
# libc6, and for HEIF/AVIF, JPEG XL and camera raw pictures libheif1 (its HEVC and AV1
# decoders built in), libjxl0.7 and libraw20. Nothing links the image-format plugins or the
# font, which are loaded at run time, so they are named here, and so is the press profile
# CMYK plates are made through by default (libgs-common). The xcb platform plugin ships
# in libqt6gui6 on Debian 12.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-image-formats-plugins (>= 6.4), fonts-ipafont-gothic, libgs-common")

# `make package_source` must not sweep build trees or git metadata into the tarball.
set(CPACK_SOURCE_GENERATOR TXZ)
# CPack writes these into its config unescaped, hence the doubled backslashes.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/\\\\.cache/")
