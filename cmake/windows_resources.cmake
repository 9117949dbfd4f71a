# Resources of a Windows program or DLL: the VERSIONINFO from the project's
# one version number, for a program the manifest that runs it as its caller
# (program.manifest) and, for the driver, the paper notice's icon; EXTRA adds
# resource lines (built from the files in DEPENDS); COMPANY replaces the
# driver's company name; CONSOLE keeps a program's console window.
#   zelko_add_windows_resources(<target> <description> [NOTICE_ICON] [LIBRARY] [CONSOLE]
#                               [COMPANY <name>] [EXTRA <lines>] [DEPENDS <files>...])
function(zelko_add_windows_resources target description)
  cmake_parse_arguments(ARG "NOTICE_ICON;LIBRARY;CONSOLE" "COMPANY;EXTRA" "DEPENDS" ${ARGN})
  set(ZELKO_RC_NAME ${target})
  set(ZELKO_RC_DESCRIPTION "${description}")
  set(ZELKO_RC_EXTRA "${ARG_EXTRA}")
  set(ZELKO_RC_COMPANY "JQT SPA")
  if(ARG_COMPANY)
    set(ZELKO_RC_COMPANY "${ARG_COMPANY}")
  endif()
  if(ARG_LIBRARY)
    set(ZELKO_RC_FILETYPE VFT_DLL)
    set(ZELKO_RC_FILENAME ${target}.dll)
  else()
    set(ZELKO_RC_FILETYPE VFT_APP)
    set(ZELKO_RC_FILENAME ${target}.exe)
  endif()
  set(includes)
  set(manifest ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.manifest)
  if(NOT ARG_LIBRARY)
    # 1 is the manifest of the process, 24 the manifest resource type.
    string(APPEND ZELKO_RC_EXTRA "\n1 24 \"${manifest}\"")
  endif()
  if(ARG_NOTICE_ICON)
    set(operator_dir ${PROJECT_SOURCE_DIR}/driver/operator)
    string(APPEND ZELKO_RC_EXTRA "\n#include \"win32_notice_icon.h\"\nZELKO_NOTICE_ICON ICON \"${operator_dir}/win32_notice_icon.ico\"")
    set(includes -I ${operator_dir})
  endif()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${target}.res.obj)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.rc.in ${script} @ONLY)
  add_custom_command(OUTPUT ${object}
    COMMAND ${ZELKO_WINDRES} ${includes} -i ${script} -o ${object}
    DEPENDS ${script} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.rc.in
            ${PROJECT_SOURCE_DIR}/driver/operator/win32_notice_icon.ico
            ${PROJECT_SOURCE_DIR}/driver/operator/win32_notice_icon.h ${manifest} ${ARG_DEPENDS}
    VERBATIM)
  target_sources(${target} PRIVATE ${object})
  if(NOT ARG_LIBRARY AND NOT ARG_CONSOLE)
    # A program without a console window, as at a till.
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)
  endif()
endfunction()
