# Provides the target `pelorin_rtc` that component/, app/ and CORBA tools link.
#
# Bundled build (PELORIN_WITH_OPENRTM OFF): rtcrt/ defines it as an alias of pelorin_rtcrt and
# this file does nothing. With PELORIN_WITH_OPENRTM ON it is an INTERFACE target over an
# installed OpenRTM-aist 2.x, found through its CMake package (OpenRTMConfig.cmake) or, failing
# that, through pkg-config (openrtm2.pc). Include this file from the root after the option is
# declared and before the folders that link `pelorin_rtc`.
if(NOT PELORIN_WITH_OPENRTM OR TARGET pelorin_rtc)
    return()
endif()

add_library(pelorin_rtc INTERFACE)

find_package(OpenRTM QUIET)
if(OpenRTM_FOUND OR OPENRTM_FOUND)
    message(STATUS "OpenRTM-aist ${OPENRTM_VERSION} (CMake package)")
    target_include_directories(pelorin_rtc SYSTEM INTERFACE ${OPENRTM_INCLUDE_DIRS})
    target_link_directories(pelorin_rtc INTERFACE ${OPENRTM_LIBRARY_DIRS})
    target_link_libraries(pelorin_rtc INTERFACE ${OPENRTM_LIBRARIES})
    if(OPENRTM_CFLAGS)
        separate_arguments(pelorin_openrtm_cflags UNIX_COMMAND "${OPENRTM_CFLAGS}")
        target_compile_options(pelorin_rtc INTERFACE ${pelorin_openrtm_cflags})
    endif()
    return()
endif()

find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(PELORIN_OPENRTM2 QUIET IMPORTED_TARGET openrtm2)
endif()
if(PELORIN_OPENRTM2_FOUND)
    message(STATUS "OpenRTM-aist ${PELORIN_OPENRTM2_VERSION} (pkg-config openrtm2)")
    # The package keeps its flags in variables of its own rather than Cflags/Libs.
    pkg_get_variable(pelorin_rtm_cflags openrtm2 rtm_cflags)
    pkg_get_variable(pelorin_rtm_libs openrtm2 rtm_libs)
    separate_arguments(pelorin_rtm_cflags UNIX_COMMAND "${pelorin_rtm_cflags}")
    separate_arguments(pelorin_rtm_libs UNIX_COMMAND "${pelorin_rtm_libs}")
    target_compile_options(pelorin_rtc INTERFACE ${pelorin_rtm_cflags})
    target_link_libraries(pelorin_rtc INTERFACE PkgConfig::PELORIN_OPENRTM2 ${pelorin_rtm_libs})
    return()
endif()

message(FATAL_ERROR "PELORIN_WITH_OPENRTM is ON but no OpenRTM-aist 2.x was found: install it "
                    "or point CMAKE_PREFIX_PATH (OpenRTMConfig.cmake) or PKG_CONFIG_PATH "
                    "(openrtm2.pc) at it, or build with the bundled runtime (OFF).")
