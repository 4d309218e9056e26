# Build-time step between the two runs of gen_flash_data: objcopy turns each
# stand-in region (standin<N>.bin at its address) into S-record text with 16
# data bytes a line. It runs in the output folder, so that the header record
# names the file without its folder.
#   cmake -DOBJCOPY=... -DDIR=... -P flash_srec.cmake
file(STRINGS "${DIR}/regions.txt" regions)
foreach(entry IN LISTS regions)
    separate_arguments(parts UNIX_COMMAND "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 address)
    execute_process(
        COMMAND "${OBJCOPY}" -I binary -O srec --srec-len 16 --change-addresses ${address} ${name}.bin ${name}.srec
        WORKING_DIRECTORY "${DIR}"
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "objcopy failed for ${name}.bin")
    endif()
endforeach()
