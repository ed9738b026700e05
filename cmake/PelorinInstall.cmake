# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it.
#
#   bin/                        the programs
#   lib/Pelorin.so              the component as a loadable module (installed-framework build)
#   share/pelorin/samples/      the sample robots and the sample rtc.conf
#   share/doc/pelorin/          the README and its picture
#
# Nothing installed refers to the source or build tree, so the programs run from anywhere.
# Include this file from the root after every folder has been added.
include(GNUInstallDirs)

# Each program is installed when this build has it. A new program is one more name here.
set(PELORIN_INSTALLED_PROGRAMS
    pelorin
    pelorin-check
    pelorin-import
    pelorin-send
    pelorin-snapshot
)
foreach(program IN LISTS PELORIN_INSTALLED_PROGRAMS)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

if(TARGET PelorinModule)
    install(TARGETS PelorinModule LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

install(DIRECTORY samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pelorin/samples)
set(PELORIN_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/pelorin)
install(FILES README.md DESTINATION ${PELORIN_INSTALL_DOCDIR})
install(DIRECTORY docs DESTINATION ${PELORIN_INSTALL_DOCDIR})

# The Debian package. dpkg-shlibdeps declares the package of every shared library the programs
# link (omniORB, ACE, freeglut, libpng, GL, X11, the C++ runtime, ...), so apt brings them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VENDOR Tarnwell)
set(CPACK_PACKAGE_CONTACT Tarnwell)
string(CONCAT CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Robot model viewer RT-Component: draws a robot from a setting file and poses it from "
    "TimedDoubleSeq values")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Components and tools find Pelorin through a naming service; one on the same machine is usual.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS omniorb-nameserver)
set(CPACK_STRIP_FILES ON)
if(PELORIN_WITH_OPENRTM)
    # A framework built from source belongs to no Debian package: its libraries are looked up
    # here and not declared. The package then needs that framework on the target machine too.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PELORIN_OPENRTM_LIBRARY_DIRS})
endif()
include(CPack)
