# cmake -DIN=file -DOUT=file.cpp -DSYMBOL=name -P EmbedBytes.cmake
# Writes a C++ source that holds the bytes of IN as
#   namespace quorix { extern const unsigned char SYMBOL[]; extern const unsigned long SYMBOLSize; }
# so that a data file ships inside the binary byte for byte.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}.tmp"
"// Generated from ${IN}; do not edit.\n"
"namespace quorix {\n"
"extern const unsigned char ${SYMBOL}[];\n"
"extern const unsigned long ${SYMBOL}Size;\n"
"const unsigned char ${SYMBOL}[] = {\n${bytes}0x00};\n"
"const unsigned long ${SYMBOL}Size = ${size};\n"
"}  // namespace quorix\n")
file(RENAME "${OUT}.tmp" "${OUT}")
