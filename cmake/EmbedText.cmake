# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedText.cmake
file(READ ${INPUT} _hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," _bytes "${_hex}")
file(WRITE ${OUTPUT}
  "#include <string_view>\n"
  "namespace zantrel::embedded {\n"
  "static const char k_${SYMBOL}[] = {${_bytes} 0};\n"
  "extern const std::string_view ${SYMBOL}(k_${SYMBOL}, sizeof(k_${SYMBOL}) - 1);\n"
  "}\n")
