# Builds the Debian package from the build folder with cpack and checks it as an installing
# machine would see it: its control fields and library dependencies, its files (exactly what
# the install rules install, in /usr, man pages compressed, the Debian documentation files), the
# packaged program playing the packaged demo, and lintian's verdict (any error fails; warnings
# are printed).
# cmake -DBUILD_DIR=... -DWORK=... -DVERSION=... -DSOURCE_DIR=... -P deb_check.cmake
foreach(tool dpkg-deb dpkg-shlibdeps lintian gzip)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message(FATAL_ERROR "${tool} not found (Debian packages dpkg-dev, lintian); ctest -LE deb leaves this test out")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " line "${ARGN}")
    message(FATAL_ERROR "${line} exited with ${status}:\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
run(${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK}/out)
run(dpkg --print-architecture)
string(STRIP "${out}" arch)
set(deb ${WORK}/out/orva_${VERSION}_${arch}.deb)
if(NOT EXISTS ${deb})
  file(GLOB made ${WORK}/out/*.deb)
  message(FATAL_ERROR "cpack did not make orva_${VERSION}_${arch}.deb but: ${made}")
endif()

# ---- control fields ------------------------------------------------------------------------
run(dpkg-deb --field ${deb} Package Version Architecture Section Maintainer Depends Description)
set(control "${out}")
foreach(field "Package: orva\n" "Version: ${VERSION}\n" "Architecture: ${arch}\n" "Section: games\n"
              "Maintainer: [^\n]+<[^\n]+@[^\n]+>\n" "Description: [^\n]+\n ")
  if(NOT control MATCHES "${field}")
    message(FATAL_ERROR "the control file lacks '${field}':\n${control}")
  endif()
endforeach()
string(REGEX MATCH "Depends: [^\n]*" depends "${control}")
# From dpkg-shlibdeps (the libraries the programs link), and the fonts the text is drawn with.
foreach(dep libsdl2-2\\.0-0 libvorbis0a libvorbisfile3 libpng16-16 libfreetype6 libfontconfig1 libtheora0
            libc6 libstdc\\+\\+6 fonts-ipafont-mincho fonts-ipafont-gothic)
  if(NOT depends MATCHES "(: |, )${dep}( |,|$)")
    message(FATAL_ERROR "Depends does not name ${dep}: ${depends}")
  endif()
endforeach()

# ---- files ---------------------------------------------------------------------------------
set(root ${WORK}/root)
run(dpkg-deb -x ${deb} ${root})
file(GLOB top RELATIVE ${root} ${root}/*)
if(NOT top STREQUAL "usr")
  message(FATAL_ERROR "the package installs outside /usr: ${top}")
endif()
# The package holds what `cmake --install` installs (man pages compressed) and the Debian
# documentation files and lintian overrides, nothing else; so a program added with its install
# rule is packaged too.
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK}/tree)
file(GLOB_RECURSE installed RELATIVE ${WORK}/tree ${WORK}/tree/*)
set(expected usr/share/doc/orva/copyright usr/share/doc/orva/changelog.gz usr/share/lintian/overrides/orva)
foreach(f ${installed})
  if(f MATCHES "^share/man/")
    string(APPEND f ".gz")
  endif()
  list(APPEND expected usr/${f})
endforeach()
file(GLOB_RECURSE packaged RELATIVE ${root} ${root}/*)
list(SORT expected)
list(SORT packaged)
if(NOT packaged STREQUAL expected)
  message(FATAL_ERROR "the package's files differ from the installed ones:\npackaged: ${packaged}\nexpected: ${expected}")
endif()
foreach(f usr/bin/orva usr/share/orva/demo/SCRIPT.DAT usr/share/orva/demo/data/DATA01.cfp
          usr/share/applications/io.github.orva.Orva.desktop usr/share/metainfo/io.github.orva.Orva.metainfo.xml
          usr/share/icons/hicolor/48x48/apps/orva.png usr/share/icons/hicolor/scalable/apps/orva.svg)
  if(NOT EXISTS ${root}/${f})
    message(FATAL_ERROR "the package lacks /${f}")
  endif()
endforeach()

# Every program has its man page, and the metainfo names it among the binaries it provides.
file(READ ${root}/usr/share/metainfo/io.github.orva.Orva.metainfo.xml metainfo)
file(GLOB programs RELATIVE ${root}/usr/bin ${root}/usr/bin/*)
foreach(program ${programs})
  if(NOT EXISTS ${root}/usr/share/man/man1/${program}.1.gz)
    message(FATAL_ERROR "/usr/bin/${program} has no man page /usr/share/man/man1/${program}.1.gz")
  endif()
  if(NOT metainfo MATCHES "<binary>${program}</binary>")
    message(FATAL_ERROR "the metainfo does not provide the binary ${program}")
  endif()
endforeach()
run(gzip -dc ${root}/usr/share/man/man1/orva.1.gz)
if(NOT out MATCHES "^[^\n]*\n?\\.TH " AND NOT out MATCHES "^\\.TH ")
  message(FATAL_ERROR "orva.1.gz does not hold a man page")
endif()
run(gzip -dc ${root}/usr/share/doc/orva/changelog.gz)
if(NOT out MATCHES "^orva \\(${VERSION}\\) ")
  string(REGEX MATCH "^[^\n]*" first "${out}")
  message(FATAL_ERROR "the Debian changelog's newest entry is not version ${VERSION}: ${first}")
endif()

# The packaged program plays the packaged demo (stripped, from its unpacked tree), with private
# data and config folders.
set(ENV{XDG_DATA_HOME} ${WORK}/xdg-data)
set(ENV{XDG_CONFIG_HOME} ${WORK}/xdg-config)
file(MAKE_DIRECTORY ${WORK}/xdg-run)
set(ENV{XDG_RUNTIME_DIR} ${WORK}/xdg-run)
run(${root}/usr/bin/orva --check ${root}/usr/share/orva/demo)
run(${root}/usr/bin/orva --headless --game ${root}/usr/share/orva/demo --until 3000 --shot 2500:${WORK}/frame.png)
if(NOT EXISTS ${WORK}/frame.png)
  message(FATAL_ERROR "the packaged program captured no frame")
endif()

# ---- lintian -------------------------------------------------------------------------------
# Exit status 2 means tags at the --fail-on level (errors) were found, 1 that lintian failed.
execute_process(COMMAND lintian --fail-on error --tag-display-limit 0 ${deb}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status MATCHES "^[02]$")
  message(FATAL_ERROR "lintian could not check the package (${status}):\n${out}${err}")
endif()
string(REGEX MATCHALL "(^|\n)[EW]: [^\n]*" tags "${out}")
set(errors)
foreach(tag ${tags})
  string(STRIP "${tag}" tag)
  message(STATUS "lintian ${tag}")
  if(tag MATCHES "^E: ")
    list(APPEND errors "${tag}")
  endif()
endforeach()
if(errors OR status EQUAL 2)
  list(JOIN errors "\n" errors)
  message(FATAL_ERROR "lintian finds errors in the package:\n${errors}\n${out}")
endif()
file(REMOVE_RECURSE ${WORK})
