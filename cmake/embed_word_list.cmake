# Turns a UTF-8 word list (one entry per line) into a C++ string literal of its entries joined by
# CR LF. The literal is compiled with the GBK execution character set, which makes the bytes GBK.
#   cmake -DINPUT=<list.txt> -DSYMBOL=<name> -DOUTPUT=<file.inc> -P embed_word_list.cmake
file(STRINGS "${INPUT}" entries ENCODING UTF-8)
set(body "")
list(LENGTH entries count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
    list(GET entries ${i} entry)
    string(REPLACE "\\" "\\\\" entry "${entry}")
    string(REPLACE "\"" "\\\"" entry "${entry}")
    if(i EQUAL last)
        string(APPEND body "    \"${entry}\"\n")
    else()
        string(APPEND body "    \"${entry}\\r\\n\"\n")
    endif()
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Made from ${INPUT}; do not edit.\nconstexpr char ${SYMBOL}[] =\n${body};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
