# Installs the build into a fresh prefix and checks that everything lands where a desktop and
# man(1) look for it, and that the installed orva checks the installed demo cleanly.
# cmake -DBUILD_DIR=... -DPREFIX=... -DBINDIR=bin -DMANDIR=share/man -DDATADIR=share -P install_check.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(expected
  ${BINDIR}/orva
  ${BINDIR}/orva-pack
  ${BINDIR}/orva-asm
  ${BINDIR}/orva-text
  ${BINDIR}/orva-routes
  ${MANDIR}/man1/orva.1
  ${MANDIR}/man1/orva-pack.1
  ${MANDIR}/man1/orva-asm.1
  ${MANDIR}/man1/orva-text.1
  ${MANDIR}/man1/orva-routes.1
  ${DATADIR}/applications/io.github.orva.Orva.desktop
  ${DATADIR}/metainfo/io.github.orva.Orva.metainfo.xml
  ${DATADIR}/icons/hicolor/scalable/apps/orva.svg
  ${DATADIR}/orva/demo/SCRIPT.DAT
  ${DATADIR}/orva/demo/data/DATA01.cfp
  ${DATADIR}/orva/demo/data/DATA02.cfp
  ${DATADIR}/orva/demo/translations/en.po)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/orva.png)
endforeach()
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# Nothing but the listed files: no build leftovers in the installed tree.
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed files differ from the expected ones:\n${installed}")
endif()
# Each PNG icon is a picture of its own size.
foreach(size 16 24 32 48 64 128 256)
  file(READ ${PREFIX}/${DATADIR}/icons/hicolor/${size}x${size}/apps/orva.png header LIMIT 24 HEX)
  math(EXPR width_hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${header}" 32 16 dims)
  string(REGEX REPLACE "^0x" "" width_hex "${width_hex}")
  string(LENGTH "${width_hex}" digits)
  while(digits LESS 8)
    string(PREPEND width_hex "0")
    string(LENGTH "${width_hex}" digits)
  endwhile()
  if(NOT header MATCHES "^89504e470d0a1a0a" OR NOT dims STREQUAL "${width_hex}${width_hex}")
    message(FATAL_ERROR "the ${size}-pixel icon is not a ${size} x ${size} PNG: ${header}")
  endif()
endforeach()
foreach(page orva orva-pack orva-asm orva-text orva-routes)
  file(STRINGS ${PREFIX}/${MANDIR}/man1/${page}.1 first LIMIT_COUNT 1)
  if(NOT first MATCHES "^\\.TH ")
    message(FATAL_ERROR "${page}.1 is not a man page: ${first}")
  endif()
endforeach()

# The installed program, moved with its tree, still works on the installed demo; the save
# folder is a private one so the check reads no real saves.
set(ENV{XDG_DATA_HOME} ${PREFIX}/xdg-data)
set(ENV{XDG_CONFIG_HOME} ${PREFIX}/xdg-config)
# A private runtime folder, so another orva running meanwhile does not hold the instance lock.
file(MAKE_DIRECTORY ${PREFIX}/xdg-run)
set(ENV{XDG_RUNTIME_DIR} ${PREFIX}/xdg-run)
execute_process(COMMAND ${PREFIX}/${BINDIR}/orva --check ${PREFIX}/${DATADIR}/orva/demo
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "orva --check on the installed demo exited with ${status}:\n${out}${err}")
endif()
# A headless run of the installed demo plays and leaves the remembered game folder alone.
execute_process(COMMAND ${PREFIX}/${BINDIR}/orva --headless --game ${PREFIX}/${DATADIR}/orva/demo --until 3000
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "a headless run of the installed demo exited with ${status}:\n${out}${err}")
endif()
# The installed route explorer follows every route of the installed demo.
execute_process(COMMAND ${PREFIX}/${BINDIR}/orva-routes --quiet ${PREFIX}/${DATADIR}/orva/demo
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "orva-routes on the installed demo exited with ${status}:\n${out}${err}")
endif()
if(EXISTS ${PREFIX}/xdg-config/orva)
  message(FATAL_ERROR "--check or a headless run wrote to the config folder")
endif()
file(REMOVE_RECURSE ${PREFIX})
