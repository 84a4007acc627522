# zlib for the Windows target, linked statically (Debian's libz-mingw-w64-dev under /usr/<triple>),
# as the imported target folvi::zlib. Included once, by the top-level CMakeLists.txt.
if(NOT TARGET folvi::zlib)
  find_path(FOLVI_ZLIB_INCLUDE_DIR zlib.h REQUIRED)
  find_library(FOLVI_ZLIB_LIBRARY NAMES libz.a REQUIRED)
  add_library(folvi::zlib STATIC IMPORTED GLOBAL)
  set_target_properties(folvi::zlib PROPERTIES
    IMPORTED_LOCATION ${FOLVI_ZLIB_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${FOLVI_ZLIB_INCLUDE_DIR})
endif()
