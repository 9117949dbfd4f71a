# At install time, for the prefix given then: config.cmd in the configuration
# folder (/etc for the prefix /usr) with a link to it beside the programs, a
# link in bin for each program, and ZelkoService's systemd user unit.
set(prefix ${CMAKE_INSTALL_PREFIX})
if(prefix STREQUAL "/usr")
  set(etc /etc/zelko)
else()
  set(etc ${prefix}/etc/zelko)
endif()
set(root "$ENV{DESTDIR}")
file(INSTALL ${ZELKO_CONFIG_CMD} DESTINATION ${etc})

# Each link relative to its folder, so that the tree may move as a whole.
function(zelko_link link target)
  get_filename_component(folder ${link} DIRECTORY)
  file(RELATIVE_PATH relative ${folder} ${target})
  file(MAKE_DIRECTORY ${root}${folder})
  file(CREATE_LINK ${relative} ${root}${link} SYMBOLIC)
  message(STATUS "Installing: ${root}${link} -> ${relative}")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES ${root}${link})
  set(CMAKE_INSTALL_MANIFEST_FILES ${CMAKE_INSTALL_MANIFEST_FILES} PARENT_SCOPE)
endfunction()
zelko_link(${prefix}/lib/zelko/config.cmd ${etc}/config.cmd)
foreach(program ${ZELKO_PROGRAMS})
  zelko_link(${prefix}/bin/${program} ${prefix}/lib/zelko/${program})
endforeach()

if(NOT ZELKO_USER_UNIT)
  return()  # a build without ZelkoService
endif()
set(ZELKO_BIN ${prefix}/bin)
set(ZELKO_DOC ${prefix}/share/doc/zelko)
set(unit ${prefix}/lib/systemd/user/zelko-service.service)
configure_file(${ZELKO_USER_UNIT} ${root}${unit} @ONLY)
message(STATUS "Installing: ${root}${unit}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES ${root}${unit})
