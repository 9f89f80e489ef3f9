# Writes the manual page of one of WallScan's programs from its own --help, so the page never
# drifts from what the program says. Run as a script:
#   cmake -DPROGRAM=path -DNAME=wallscan -DSUMMARY="..." -DVERSION=1.0.0 -DOUT=file.1
#         [-DSUBCOMMANDS=ON] -P ManPage.cmake
# With SUBCOMMANDS the overview's command list ("  name  summary" lines after "Commands:") is
# followed, and every command's own --help becomes a section of the page.

function(roff_escape text out)
    string(REPLACE "\\" "\\e" text "${text}")
    # A minus, not a hyphen: options copied from the page must work when pasted.
    string(REPLACE "-" "\\-" text "${text}")
    # A line starting with a dot or a quote would be read as a request.
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(run_help out)
    execute_process(COMMAND "${PROGRAM}" ${ARGN} --help
                    OUTPUT_VARIABLE text RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR text STREQUAL "")
        message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed (${rc}): ${err}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(TOUPPER "${NAME}" title)
run_help(overview)
roff_escape("${overview}" overviewRoff)
roff_escape("${SUMMARY}" summaryRoff)
# man-db passes the page through preconv, which reads this line: the help has Cyrillic in it.
set(page ".\\\" -*- coding: UTF-8 -*-
.TH ${title} 1 \"\" \"WallScan ${VERSION}\" \"User Commands\"
.SH NAME
${NAME} \\- ${summaryRoff}
.SH DESCRIPTION
.nf
${overviewRoff}.fi
")

if(SUBCOMMANDS)
    string(APPEND page ".SH COMMANDS\n")
    string(FIND "${overview}" "Commands:" at)
    string(SUBSTRING "${overview}" ${at} -1 list)
    string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*  " names "${list}")
    foreach(entry IN LISTS names)
        string(STRIP "${entry}" command)
        run_help(help ${command})
        roff_escape("${help}" helpRoff)
        string(APPEND page ".SS ${command}\n.nf\n${helpRoff}.fi\n")
    endforeach()
endif()

string(APPEND page ".SH SEE ALSO
.BR wallscan (1),
.BR wallscan\\-cli (1),
.BR wallscan\\-gauge\\-sim (1)
")
file(WRITE "${OUT}" "${page}")
