# Provides the target `pelorin_rtc` that component/ and app/ link.
#
# Bundled build (PELORIN_WITH_OPENRTM OFF): rtcrt/ defines it as an alias of pelorin_rtcrt and
# this file does nothing. With PELORIN_WITH_OPENRTM ON it is an INTERFACE target over an
# installed OpenRTM-aist 2.x, found through its CMake package (OpenRTMConfig.cmake) or, failing
# that, through pkg-config (openrtm2.pc). Include this file from the root after the option is
# declared and before the folders that link `pelorin_rtc`.
#
# The framework's headers are system headers here: their warnings are not Pelorin's to fix and
# never fail a build, whatever PELORIN_WERROR says.
if(NOT PELORIN_WITH_OPENRTM OR TARGET pelorin_rtc)
    return()
endif()

# 1.x headers declare throw() lists on functions, which C++17 no longer accepts.
function(pelorin_require_openrtm2 version where)
    if(version VERSION_LESS 2)
        message(FATAL_ERROR
            "OpenRTM-aist ${version} found (${where}), but Pelorin builds against OpenRTM-aist "
            "2.x only: the 1.x headers do not compile as C++17. Point CMAKE_PREFIX_PATH at an "
            "OpenRTM-aist 2.x installation, or build with the bundled runtime "
            "(-DPELORIN_WITH_OPENRTM=OFF), which works with 1.x components over the network.")
    endif()
endfunction()

add_library(pelorin_rtc INTERFACE)

find_package(OpenRTM QUIET)
if(OpenRTM_FOUND OR OPENRTM_FOUND)
    pelorin_require_openrtm2("${OPENRTM_VERSION}" "${OpenRTM_DIR}")
    message(STATUS "OpenRTM-aist ${OPENRTM_VERSION} (CMake package in ${OpenRTM_DIR})")
    target_include_directories(pelorin_rtc SYSTEM INTERFACE ${OPENRTM_INCLUDE_DIRS})
    target_link_directories(pelorin_rtc INTERFACE ${OPENRTM_LIBRARY_DIRS})
    target_link_libraries(pelorin_rtc INTERFACE ${OPENRTM_LIBRARIES})
    # The package's flags also carry optimisation and warning options meant for its own
    # examples; only its definitions concern code that includes its headers.
    foreach(flag IN LISTS OPENRTM_CFLAGS)
        if(flag MATCHES "^-D")
            string(SUBSTRING "${flag}" 2 -1 definition)
            target_compile_definitions(pelorin_rtc INTERFACE ${definition})
        endif()
    endforeach()
    set(PELORIN_OPENRTM_LIBRARY_DIRS ${OPENRTM_LIBRARY_DIRS})
    return()
endif()

find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(PELORIN_OPENRTM2 QUIET openrtm2)
    if(NOT PELORIN_OPENRTM2_FOUND)
        pkg_check_modules(PELORIN_OPENRTM1 QUIET openrtm-aist)
        if(PELORIN_OPENRTM1_FOUND)
            pelorin_require_openrtm2("${PELORIN_OPENRTM1_VERSION}" "pkg-config openrtm-aist")
        endif()
    endif()
endif()
if(PELORIN_OPENRTM2_FOUND)
    pelorin_require_openrtm2("${PELORIN_OPENRTM2_VERSION}" "pkg-config openrtm2")
    message(STATUS "OpenRTM-aist ${PELORIN_OPENRTM2_VERSION} (pkg-config openrtm2)")
    # The include directories are right, but the package's library line is not usable as it
    # stands (2.1 names a folder under bin/ and libraries it does not install): link the
    # framework's library from the installation's lib/ and omniORB through its own packages.
    pkg_get_variable(pelorin_rtm_prefix openrtm2 prefix)
    find_library(PELORIN_OPENRTM_LIBRARY RTC2 HINTS ${pelorin_rtm_prefix}/lib)
    pkg_check_modules(PELORIN_OMNIORB REQUIRED IMPORTED_TARGET omniORB4 omniDynamic4)
    if(NOT PELORIN_OPENRTM_LIBRARY)
        message(FATAL_ERROR "pkg-config names OpenRTM-aist ${PELORIN_OPENRTM2_VERSION} at "
                            "${pelorin_rtm_prefix}, but its library libRTC2 is not there")
    endif()
    target_include_directories(pelorin_rtc SYSTEM INTERFACE ${PELORIN_OPENRTM2_INCLUDE_DIRS})
    target_link_libraries(pelorin_rtc INTERFACE ${PELORIN_OPENRTM_LIBRARY}
                          PkgConfig::PELORIN_OMNIORB Threads::Threads)
    get_filename_component(PELORIN_OPENRTM_LIBRARY_DIRS ${PELORIN_OPENRTM_LIBRARY} DIRECTORY)
    return()
endif()

message(FATAL_ERROR "PELORIN_WITH_OPENRTM is ON but no OpenRTM-aist 2.x was found: install it "
                    "or point CMAKE_PREFIX_PATH (OpenRTMConfig.cmake) or PKG_CONFIG_PATH "
                    "(openrtm2.pc) at it, or build with the bundled runtime (OFF).")
