# Builds the Windows Installer package from the files gathered in STAGE:
# wixl writes it from Zelko.wxs, msibuild adds what wixl cannot (Zelko.sql).
#   cmake -DWIXL=... -DMSIBUILD=... -DSOURCE_DIR=... -DSTAGE=... -DVERSION=...
#         -DPRODUCT_CODE=... -DZELKO_CHECK=0|1 -DOUTPUT=... -P build_msi.cmake
configure_file(${SOURCE_DIR}/Zelko.wxs ${STAGE}/Zelko.wxs COPYONLY)
set(defines -D Version=${VERSION} -D ProductCode=${PRODUCT_CODE})
if(ZELKO_CHECK)
  list(APPEND defines -D ZelkoCheck=1)
endif()
set(package ${STAGE}/Zelko.msi)
file(REMOVE ${package})
# wixl finds the files beside its source, so it runs on the staged copy.
execute_process(COMMAND ${WIXL} -a x86 ${defines} -o ${package} Zelko.wxs
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS ${package})
  message(FATAL_ERROR "wixl could not build the package (${status})")
endif()

# One statement a line; a statement may hold ";", CMake's list separator.
file(READ ${SOURCE_DIR}/Zelko.sql sql)
string(REPLACE ";" "<semicolon>" sql "${sql}")
string(REPLACE "\n" ";" lines "${sql}")
foreach(line IN LISTS lines)
  if(line STREQUAL "" OR line MATCHES "^--")
    continue()
  endif()
  string(REPLACE "<semicolon>" ";" statement "${line}")
  execute_process(COMMAND ${MSIBUILD} ${package} -q "${statement}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "msibuild refused: ${statement}")
  endif()
endforeach()
file(RENAME ${package} ${OUTPUT})
