# `cmake --install` puts the programs and their companion files (architecture files, manuals) in
# one folder, lib/hwc, because the programs find those files beside themselves; the bin folder
# gets links to the programs, the desktop gets a menu entry and an icon.
include(GNUInstallDirs)
set(HWC_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/hwc)

set(HWC_INSTALLED_PROGRAMS hwc-batch)
if(HWC_DESKTOP)
    list(APPEND HWC_INSTALLED_PROGRAMS hwc)
endif()

install(TARGETS ${HWC_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${HWC_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/arch/ DESTINATION ${HWC_INSTALL_DIR}
        FILES_MATCHING PATTERN "*.cfg")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/help DESTINATION ${HWC_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/pinout DESTINATION ${HWC_INSTALL_DIR})

foreach(program IN LISTS HWC_INSTALLED_PROGRAMS)
    install(CODE "
        set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${bin}\")
        file(CREATE_LINK \"../${HWC_INSTALL_DIR}/${program}\" \"\${bin}/${program}\" SYMBOLIC)
    ")
endforeach()

if(HWC_DESKTOP)
    install(FILES ${PROJECT_SOURCE_DIR}/data/hwc.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/hwc.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
