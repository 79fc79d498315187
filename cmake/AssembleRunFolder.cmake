# Copies data/ into the run folder, and the example firmware into its examples/ (the help
# page's examples program it). The options file is the user's once it is there (cable,
# colour, speed), so a build copies it only when it is missing.
file(GLOB entries RELATIVE ${DATA_DIR} ${DATA_DIR}/*)
foreach(entry IN LISTS entries)
  if(NOT entry STREQUAL "opt")
    file(COPY ${DATA_DIR}/${entry} DESTINATION ${RUN_DIR})
  endif()
endforeach()
file(GLOB option_files RELATIVE ${DATA_DIR}/opt ${DATA_DIR}/opt/*)
foreach(option_file IN LISTS option_files)
  if(NOT EXISTS ${RUN_DIR}/opt/${option_file})
    file(COPY ${DATA_DIR}/opt/${option_file} DESTINATION ${RUN_DIR}/opt)
  endif()
endforeach()
if(FIRMWARE_DIR)
  file(COPY ${FIRMWARE_DIR}/blink.hex ${FIRMWARE_DIR}/blink_eeprom.hex DESTINATION ${RUN_DIR}/examples)
endif()
