# Turns a file into a C++ array of its bytes.
#   cmake -DINPUT=<file> -DSYMBOL=<name> -DOUTPUT=<file.inc> -P embed_binary.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
     "// Made from ${INPUT}; do not edit.\nalignas(16) constexpr unsigned char ${SYMBOL}[] = {\n    ${bytes}\n};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
