# The raster codec libraries as imported targets: codec::z, codec::jpeg,
# codec::png, codec::tiff, codec::openjp2 and codec::mng. Each carries its
# include folders, its compile definitions and the libraries it needs, so a
# target links only the codecs it uses and static link order follows.
#
# Native builds use the system's development packages. The Windows build links
# static libraries that scripts/codecs-mingw cross-builds from the
# distribution's sources into the build tree at configure time (once; again
# only when the script or the compiler changes).

function(vt_import_codec name library include_dirs)
    cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "DEPENDS;DEFINES")
    add_library(codec::${name} UNKNOWN IMPORTED GLOBAL)
    set_target_properties(codec::${name} PROPERTIES
        IMPORTED_LOCATION "${library}"
        INTERFACE_INCLUDE_DIRECTORIES "${include_dirs}"
        INTERFACE_COMPILE_DEFINITIONS "${arg_DEFINES}")
    if(arg_DEPENDS)
        list(TRANSFORM arg_DEPENDS PREPEND codec::)
        set_target_properties(codec::${name} PROPERTIES INTERFACE_LINK_LIBRARIES "${arg_DEPENDS}")
    endif()
endfunction()

if(WIN32)
    set(VT_CODECS_DIR "${CMAKE_BINARY_DIR}/codecs")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/scripts/codecs-mingw")
    execute_process(COMMAND "${CMAKE_SOURCE_DIR}/scripts/codecs-mingw" "${VT_CODECS_DIR}"
                    RESULT_VARIABLE codecs_result)
    if(NOT codecs_result EQUAL 0)
        message(FATAL_ERROR "Building the codec libraries for Windows failed; logs under ${VT_CODECS_DIR}/build")
    endif()
    set(lib "${VT_CODECS_DIR}/prefix/lib")
    set(inc "${VT_CODECS_DIR}/prefix/include")
    vt_import_codec(z "${lib}/libz.a" "${inc}")
    vt_import_codec(jpeg "${lib}/libjpeg.a" "${inc}")
    vt_import_codec(png "${lib}/libpng16.a" "${inc}" DEPENDS z)
    vt_import_codec(tiff "${lib}/libtiff.a" "${inc}" DEPENDS jpeg z)
    vt_import_codec(openjp2 "${lib}/libopenjp2.a" "${inc}/openjpeg-2.5" DEFINES OPJ_STATIC)
    # The library's configuration header has its features baked in.
    vt_import_codec(mng "${lib}/libmng.a" "${inc}" DEPENDS jpeg z)
else()
    find_library(VT_ZLIB_LIBRARY z REQUIRED)
    find_library(VT_JPEG_LIBRARY jpeg REQUIRED)
    find_library(VT_PNG_LIBRARY png16 REQUIRED)
    find_library(VT_TIFF_LIBRARY tiff REQUIRED)
    find_library(VT_OPENJP2_LIBRARY openjp2 REQUIRED)
    find_library(VT_MNG_LIBRARY mng REQUIRED)
    find_path(VT_ZLIB_INCLUDE zlib.h REQUIRED)
    find_path(VT_JPEG_INCLUDE jpeglib.h REQUIRED)
    find_path(VT_PNG_INCLUDE png.h PATH_SUFFIXES libpng16 REQUIRED)
    find_path(VT_TIFF_INCLUDE tiffio.h REQUIRED)
    find_path(VT_OPENJP2_INCLUDE openjpeg.h PATH_SUFFIXES openjpeg-2.5 REQUIRED)
    find_path(VT_MNG_INCLUDE libmng.h REQUIRED)
    vt_import_codec(z "${VT_ZLIB_LIBRARY}" "${VT_ZLIB_INCLUDE}")
    vt_import_codec(jpeg "${VT_JPEG_LIBRARY}" "${VT_JPEG_INCLUDE}")
    vt_import_codec(png "${VT_PNG_LIBRARY}" "${VT_PNG_INCLUDE}" DEPENDS z)
    vt_import_codec(tiff "${VT_TIFF_LIBRARY}" "${VT_TIFF_INCLUDE}" DEPENDS jpeg z)
    vt_import_codec(openjp2 "${VT_OPENJP2_LIBRARY}" "${VT_OPENJP2_INCLUDE}")
    # The shared library was built with the features MNG_USE_SO selects in its
    # configuration header; users must see the same ones.
    vt_import_codec(mng "${VT_MNG_LIBRARY}" "${VT_MNG_INCLUDE}" DEPENDS jpeg z DEFINES MNG_USE_SO)
endif()
