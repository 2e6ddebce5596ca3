# Lays out the release: the program folder ZelmoSound/ and ZelmoSound.zip in DIST_ROOT, and
# SHA256SUMS beside them. Run as a script (cmake -P) by the Windows build's zelmo_dist target:
#   -DEXE=<ZelmoSound.exe> -DSOUNDS=<folder of the .wav files> -DHELP=<Zelmo.html>
#   -DDIST_ROOT=<folder> -DEPOCH=<seconds since 1970, UTC>
# The same inputs give the same bytes whenever and wherever it runs: every file and the folder get
# the time EPOCH and a fixed mode, the zip lists the folder and then its files in the byte order
# of their names, and it keeps no owner, access or change times (zip -X). zip writes times as
# local time without a zone, so it runs with TZ=UTC.
foreach(input EXE SOUNDS HELP DIST_ROOT EPOCH)
    if(NOT DEFINED ${input})
        message(FATAL_ERROR "Release.cmake: ${input} is not given")
    endif()
endforeach()
find_program(ZIP zip REQUIRED)
find_program(TOUCH touch REQUIRED)

set(folder ${DIST_ROOT}/ZelmoSound)
file(REMOVE_RECURSE ${folder} ${DIST_ROOT}/ZelmoSound.zip ${DIST_ROOT}/SHA256SUMS)
file(MAKE_DIRECTORY ${folder})
file(GLOB sounds ${SOUNDS}/*.wav)
file(COPY ${EXE} ${HELP} ${sounds} DESTINATION ${folder}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

file(GLOB names RELATIVE ${folder} ${folder}/*)
list(SORT names)
set(entries ZelmoSound/)
set(paths ${folder})
foreach(name IN LISTS names)
    list(APPEND entries ZelmoSound/${name})
    list(APPEND paths ${folder}/${name})
endforeach()
file(CHMOD ${folder} ${folder}/ZelmoSound.exe
     PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                 WORLD_EXECUTE)
execute_process(COMMAND ${TOUCH} -h -d @${EPOCH} ${paths} COMMAND_ERROR_IS_FATAL ANY)

list(JOIN entries "\n" listing)
file(WRITE ${DIST_ROOT}/ZelmoSound.zip.list "${listing}\n")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -X -9 -q ZelmoSound.zip -@
    WORKING_DIRECTORY ${DIST_ROOT}
    INPUT_FILE ${DIST_ROOT}/ZelmoSound.zip.list
    COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${DIST_ROOT}/ZelmoSound.zip.list)

file(SHA256 ${DIST_ROOT}/ZelmoSound.zip zip_sum)
file(SHA256 ${folder}/ZelmoSound.exe exe_sum)
file(WRITE ${DIST_ROOT}/SHA256SUMS
     "${zip_sum}  ZelmoSound.zip\n${exe_sum}  ZelmoSound/ZelmoSound.exe\n")
