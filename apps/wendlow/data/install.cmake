# Wendlow installed as a desktop application: the program, its desktop entry (with the
# document types it prints, so file managers offer "Open with Wendlow"), AppStream
# metadata, the application icon and the D-Bus service that activates the application id.
include(GNUInstallDirs)

set(wendlow_app_id io.github.wendlow.wendlow)
set(wendlow_data ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS wendlow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${wendlow_data}/${wendlow_app_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${wendlow_data}/${wendlow_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The service file names the program by its absolute path, which is known only when
# installing (cpack and `cmake --install --prefix` choose the prefix then).
install(
  CODE "set(service \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dbus-1/services/${wendlow_app_id}.service\")
        message(STATUS \"Installing: \${service}\")
        file(WRITE \"\${service}\" \"[D-BUS Service]\\nName=${wendlow_app_id}\\nExec=\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/wendlow\\n\")")
install(FILES ${wendlow_data}/icons/${wendlow_app_id}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${wendlow_data}/icons/${wendlow_app_id}-symbolic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/symbolic/apps)

if(WENDLOW_BUILD_TESTS)
  add_test(NAME wendlow.installed_layout
           COMMAND ${PROJECT_SOURCE_DIR}/tools/install/check_install.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(wendlow.installed_layout PROPERTIES TIMEOUT 120 LABELS integration)
endif()
