# Validates the AppStream metainfo as software centres read it, and checks that it names the
# desktop entry it launches and the project's version as its newest release.
# cmake -DAPPSTREAMCLI=... -DVERSION=... -DMETAINFO=... -DDESKTOP=... -P metainfo_check.cmake
if(NOT APPSTREAMCLI)
  message(FATAL_ERROR "appstreamcli not found (Debian package appstream)")
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --explain ${METAINFO}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "appstreamcli rejects the metainfo:\n${out}${err}")
endif()

file(READ ${METAINFO} xml)
get_filename_component(desktop_id ${DESKTOP} NAME)
string(REGEX REPLACE "\\.desktop$" "" app_id ${desktop_id})
if(NOT xml MATCHES "<id>${app_id}</id>")
  message(FATAL_ERROR "the metainfo's id is not the desktop entry's name ${app_id}")
endif()
if(NOT xml MATCHES "<launchable type=\"desktop-id\">${desktop_id}</launchable>")
  message(FATAL_ERROR "the metainfo does not launch ${desktop_id}")
endif()
get_filename_component(metainfo_name ${METAINFO} NAME)
if(NOT metainfo_name STREQUAL "${app_id}.metainfo.xml")
  message(FATAL_ERROR "the metainfo file is not named after its id: ${metainfo_name}")
endif()
# Releases are listed newest first.
string(REGEX MATCH "<release version=\"([^\"]*)\"" newest "${xml}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "the newest release in the metainfo is '${CMAKE_MATCH_1}', the project is ${VERSION}")
endif()
