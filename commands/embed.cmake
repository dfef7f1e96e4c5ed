# Writes INPUT's bytes into OUTPUT as the C++ array behind BuiltInGuide().
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(([^,]*,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}
     "// Generated from the user guide at build time.\n#include <cstddef>\n"
     "namespace kasorel::detail {\n"
     "extern const char kGuideBytes[] = {\n${bytes}'\\0'};\n"
     "extern const std::size_t kGuideSize = ${size};\n}\n")
