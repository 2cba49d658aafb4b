# Writes the bytes of INPUT as a C++ initializer list ("0x7b,0x0a,...") to OUTPUT.
file(READ "${INPUT}" content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," content "${content}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" content "${content}")
file(WRITE "${OUTPUT}.tmp" "${content}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
