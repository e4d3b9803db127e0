# Installs the build into a scratch DESTDIR with the prefix /usr and checks
# the tree: the program, its desktop entry, its icons and the udev rule, and
# nothing else (no tarvel-sim). The desktop entry must pass
# desktop-file-validate where that tool is installed.
#   cmake -DBUILD_DIR=<build> -DSTAGE=<scratch prefix> -DUDEV_RULES_DIR=<dir> -P install_test.cmake
# The stage is a new folder <scratch prefix>-XXXXXX of each run, so that two
# runs beside each other do not share it; it is removed when the tree is right.
# The install names the default component, so that it writes its own
# manifest (install_manifest_Unspecified.txt) and leaves the one of a real
# install, install_manifest.txt, alone.
cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR STAGE UDEV_RULES_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

execute_process(COMMAND mktemp -d "${STAGE}-XXXXXX" RESULT_VARIABLE rc OUTPUT_VARIABLE STAGE
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "no scratch folder for the stage")
endif()
set(ENV{DESTDIR} "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr --component Unspecified
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}")
endif()

if(IS_ABSOLUTE "${UDEV_RULES_DIR}")
  string(REGEX REPLACE "^/+" "" udev "${UDEV_RULES_DIR}")
else()
  set(udev "usr/${UDEV_RULES_DIR}")
endif()
set(sizes 16 22 24 32 48 64 128 256)
set(expected usr/bin/tarvel usr/share/applications/tarvel.desktop usr/share/icons/hicolor/scalable/apps/tarvel.svg
  "${udev}/70-tarvel.rules")
foreach(size IN LISTS sizes)
  list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/tarvel.png)
endforeach()

# Exactly the expected files.
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
foreach(f IN LISTS expected)
  if(NOT f IN_LIST installed)
    fail("missing: ${f}")
  endif()
endforeach()
foreach(f IN LISTS installed)
  if(f MATCHES "(^|/)tarvel-sim$")
    fail("the emulator is installed: ${f}")
  elseif(NOT f IN_LIST expected)
    fail("not expected: ${f}")
  endif()
endforeach()

execute_process(COMMAND test -x "${STAGE}/usr/bin/tarvel" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("usr/bin/tarvel is not executable")
endif()

# Each PNG is one, of its size.
foreach(size IN LISTS sizes)
  set(png "${STAGE}/usr/share/icons/hicolor/${size}x${size}/apps/tarvel.png")
  if(EXISTS "${png}")
    file(READ "${png}" head HEX LIMIT 24)
    math(EXPR hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" hex "${hex}")
    string(LENGTH "${hex}" n)
    math(EXPR pad "8 - ${n}")
    string(REPEAT "0" ${pad} zeros)
    set(dim "${zeros}${hex}")
    if(NOT head MATCHES "^89504e470d0a1a0a0000000d49484452${dim}${dim}$")
      fail("${size}x${size}/apps/tarvel.png is not a ${size} x ${size} PNG (${head})")
    endif()
  endif()
endforeach()

# The udev rule carries the configured ids and grants the seat's user access.
set(rule "${STAGE}/${udev}/70-tarvel.rules")
if(EXISTS "${rule}")
  file(READ "${rule}" text)
  if(text MATCHES "@" OR NOT text MATCHES "ATTRS{idVendor}==\"[0-9a-f][0-9a-f][0-9a-f][0-9a-f]\"" OR
     NOT text MATCHES "TAG\\+=\"uaccess\"")
    fail("70-tarvel.rules lacks its ids or its access grant:\n${text}")
  endif()
endif()

# The desktop entry starts the installed program and passes the validator.
set(entry "${STAGE}/usr/share/applications/tarvel.desktop")
if(EXISTS "${entry}")
  file(STRINGS "${entry}" exec REGEX "^Exec=")
  string(REGEX REPLACE "^Exec=([^ ]*).*" "\\1" exec "${exec}")
  if(NOT EXISTS "${STAGE}/usr/bin/${exec}")
    fail("Exec=${exec} is not an installed program")
  endif()
  find_program(validate desktop-file-validate)
  if(validate)
    execute_process(COMMAND "${validate}" "${entry}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0 OR out MATCHES "error|warning")
      fail("desktop-file-validate:\n${out}")
    endif()
  else()
    message(STATUS "desktop-file-validate not found: the desktop entry is not validated")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "The install tree in ${STAGE} is wrong:\n${failures}")
endif()
file(REMOVE_RECURSE "${STAGE}")
message(STATUS "install tree: ${installed}")
