# Makes the portable zip, the same bytes on every build: fixed entries in a
# fixed order, with fixed times and modes.
#   cmake -DZIP=... -DSTAGING=... -DNAME=... -DPROGRAM=... -DREADME=... -DLICENSE=... -P MakeZip.cmake
set(folder ${STAGING}/${NAME})
file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${folder})
file(COPY_FILE ${PROGRAM} ${folder}/Vellomar.exe)
file(COPY_FILE ${README} ${folder}/README.txt)
file(COPY_FILE ${LICENSE} ${folder}/LICENSE.txt)
file(CHMOD ${folder}/Vellomar.exe ${folder}/README.txt ${folder}/LICENSE.txt
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Every entry dated at the release date, or at the time the caller fixes for
# the whole build; zip -X stores no other times, owners or attributes.
set(stamp "2005-04-25 00:00:00")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  string(TIMESTAMP stamp "%Y-%m-%d %H:%M:%S" UTC)
endif()
set(entries ${NAME}/Vellomar.exe ${NAME}/README.txt ${NAME}/LICENSE.txt)
file(REMOVE ${ZIP})
execute_process(COMMAND touch -d "${stamp} UTC" ${entries} WORKING_DIRECTORY ${STAGING} RESULT_VARIABLE dated)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP_PROGRAM} -X -9 -q ${ZIP} ${entries}
                WORKING_DIRECTORY ${STAGING} RESULT_VARIABLE zipped)
if(NOT dated EQUAL 0 OR NOT zipped EQUAL 0)
  message(FATAL_ERROR "Could not make ${ZIP}")
endif()
