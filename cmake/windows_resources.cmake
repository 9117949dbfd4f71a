# Resources of a Windows program: the VERSIONINFO from the project's one
# version number and, for the driver, the paper notice's icon.
#   zelko_add_windows_resources(<target> <description> [NOTICE_ICON])
function(zelko_add_windows_resources target description)
  cmake_parse_arguments(ARG "NOTICE_ICON" "" "" ${ARGN})
  set(ZELKO_RC_NAME ${target})
  set(ZELKO_RC_DESCRIPTION "${description}")
  set(ZELKO_RC_EXTRA "")
  set(includes)
  if(ARG_NOTICE_ICON)
    set(operator_dir ${PROJECT_SOURCE_DIR}/driver/operator)
    set(ZELKO_RC_EXTRA "#include \"win32_notice_icon.h\"\nZELKO_NOTICE_ICON ICON \"${operator_dir}/win32_notice_icon.ico\"")
    set(includes -I ${operator_dir})
  endif()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${target}.res.obj)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.rc.in ${script} @ONLY)
  add_custom_command(OUTPUT ${object}
    COMMAND ${ZELKO_WINDRES} ${includes} -i ${script} -o ${object}
    DEPENDS ${script} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.rc.in
            ${PROJECT_SOURCE_DIR}/driver/operator/win32_notice_icon.ico
            ${PROJECT_SOURCE_DIR}/driver/operator/win32_notice_icon.h
    VERBATIM)
  target_sources(${target} PRIVATE ${object})
  # A program without a console window, as at a till.
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)
endfunction()
