# Joins overlay fragments into one overlay file (cmake -P).
#   FRAGMENT_LIST  a file that names the fragments, one path a line, in order
#   OUTPUT         the overlay file to write
# Every fragment must end its last line with a newline and must not hold the
# end key itself: the joined file gets exactly one "#End_Of_Ovl", as its last
# line, so that no key of a later fragment is cut off. The file is written
# under a temporary name and renamed, so a failed join leaves no half file.

if(NOT FRAGMENT_LIST OR NOT OUTPUT)
    message(FATAL_ERROR "JoinOverlay.cmake needs FRAGMENT_LIST and OUTPUT")
endif()

file(STRINGS ${FRAGMENT_LIST} fragments)
set(partial "${OUTPUT}.part")
file(WRITE ${partial} "")
foreach(fragment IN LISTS fragments)
    file(READ ${fragment} text)
    if(text STREQUAL "")
        message(FATAL_ERROR "${fragment}: the fragment is empty")
    endif()
    if(NOT text MATCHES "\n$")
        message(FATAL_ERROR "${fragment}: the last line has no line end")
    endif()
    if(text MATCHES "\r")
        message(FATAL_ERROR "${fragment}: carriage returns; write plain line ends")
    endif()
    if(text MATCHES "(^|\n)#End_Of_Ovl(\n|$)")
        message(FATAL_ERROR "${fragment}: holds the end key; the join adds it")
    endif()
    file(APPEND ${partial} "${text}")
endforeach()
file(APPEND ${partial} "#End_Of_Ovl\n")
file(RENAME ${partial} ${OUTPUT})
