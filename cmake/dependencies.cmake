# Boost (headers and Iostreams' bzip2 filter source) and libbzip2, compiled from the Debian
# source packages that scripts/bootstrap.sh unpacks into TAVRELLE_DEPS.
if(NOT TAVRELLE_DEPS)
  set(TAVRELLE_DEPS "$ENV{TAVRELLE_DEPS}")
endif()
set(TAVRELLE_DEPS "${TAVRELLE_DEPS}" CACHE PATH "Folder of the unpacked dependency sources" FORCE)
if(NOT EXISTS "${TAVRELLE_DEPS}/boost/.complete" OR NOT EXISTS "${TAVRELLE_DEPS}/bzip2/.complete")
  message(FATAL_ERROR "Dependency sources not found in '${TAVRELLE_DEPS}': run scripts/bootstrap.sh")
endif()

set(BZIP2_DIR "${TAVRELLE_DEPS}/bzip2")
add_library(bz2 STATIC
  ${BZIP2_DIR}/blocksort.c ${BZIP2_DIR}/huffman.c ${BZIP2_DIR}/crctable.c
  ${BZIP2_DIR}/randtable.c ${BZIP2_DIR}/compress.c ${BZIP2_DIR}/decompress.c ${BZIP2_DIR}/bzlib.c)
target_include_directories(bz2 SYSTEM PUBLIC ${BZIP2_DIR})
target_compile_options(bz2 PRIVATE -w)

add_library(boost_headers INTERFACE)
target_include_directories(boost_headers SYSTEM INTERFACE "${TAVRELLE_DEPS}/boost/include")
target_compile_definitions(boost_headers INTERFACE BOOST_ALL_NO_LIB)

add_library(boost_iostreams_bzip2 STATIC "${TAVRELLE_DEPS}/boost/src/bzip2.cpp")
target_link_libraries(boost_iostreams_bzip2 PUBLIC boost_headers bz2)
target_compile_options(boost_iostreams_bzip2 PRIVATE -w)
