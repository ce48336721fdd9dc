# Writes a UTF-8 word list (one entry a line) as the program's list file: GBK, entries joined by
# CR LF, none after the last.
#   cmake -DINPUT=<list.txt> -DOUTPUT=<seed> -P make_seed.cmake
file(READ "${INPUT}" text)
string(REGEX REPLACE "\n+$" "" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}.utf8" "${text}")
execute_process(COMMAND iconv -f UTF-8 -t GB18030 "${OUTPUT}.utf8"
                OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE failed)
file(REMOVE "${OUTPUT}.utf8")
if(failed)
    message(FATAL_ERROR "iconv could not convert ${INPUT}")
endif()
