# What `cmake --install` puts under the prefix: the two programs, the data they read, the menu
# entry, the icon, the manual pages and the device rules. The run folder also holds the test
# programs and demos; only tolmeo and tolmeo-cli are installed.
#
# The folders are fixed, not GNUInstallDirs' variables: an installed Tolmeo finds its data at
# ../share/tolmeo beside its own bin/ folder (src/base/run_folders), so the two must not move
# apart.
set(TOLMEO_DATA_DESTINATION share/tolmeo)
# One component of its own, so the tests' installs (--component tolmeo) keep a manifest apart
# from the one a `sudo cmake --install` leaves in the build folder, owned by root.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME tolmeo)

install(TARGETS tolmeo tolmeo-cli RUNTIME DESTINATION bin)

# data/ is exactly what the run folder reads; its opt/opt.opt is the options every user starts
# from, copied to the user's own folder at the first start.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${TOLMEO_DATA_DESTINATION})
install(FILES ${CMAKE_SOURCE_DIR}/tools/firmware/blink.c ${CMAKE_SOURCE_DIR}/tools/firmware/blink.hex
              ${CMAKE_SOURCE_DIR}/tools/firmware/blink_eeprom.hex
        DESTINATION ${TOLMEO_DATA_DESTINATION}/examples)

set(packaging ${CMAKE_SOURCE_DIR}/packaging)
install(FILES ${packaging}/tolmeo.desktop DESTINATION share/applications)
install(FILES ${packaging}/tolmeo.png DESTINATION share/icons/hicolor/48x48/apps)
install(FILES ${packaging}/tolmeo.1 ${packaging}/tolmeo-cli.1 DESTINATION share/man/man1)
install(FILES ${packaging}/60-tolmeo.rules DESTINATION lib/udev/rules.d)
