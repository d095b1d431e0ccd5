# Writes a C++ source that holds every file of a folder as a byte array, with a table of
# their file names, so the program carries its resources inside itself.
# Usage: cmake -DRES_DIR=<folder> -DOUTPUT=<file.cpp> [-DSTAMP=<file>] -P EmbedResources.cmake
# OUTPUT is rewritten only when its content changes; STAMP is touched on every run.
if(NOT RES_DIR OR NOT OUTPUT)
  message(FATAL_ERROR "EmbedResources: RES_DIR and OUTPUT must be given")
endif()

file(GLOB names LIST_DIRECTORIES false RELATIVE "${RES_DIR}" "${RES_DIR}/*")
list(SORT names)

set(arrays "")
set(table "")
set(count 0)
foreach(name IN LISTS names)
  if(name MATCHES "^\\." OR name MATCHES "~$")
    continue()
  endif()
  file(READ "${RES_DIR}/${name}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  # Every byte becomes a \xNN escape; lines of 16 bytes as adjacent string literals.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
  string(REPEAT "\\\\x[0-9a-f][0-9a-f]" 16 line_pattern)
  string(REGEX REPLACE "(${line_pattern})" "\\1\"\n    \"" escaped "${escaped}")
  string(REPLACE "\\" "\\\\" c_name "${name}")
  string(REPLACE "\"" "\\\"" c_name "${c_name}")
  string(APPEND arrays "// ${name}\nconst char kData${count}[] =\n    \"${escaped}\";\n\n")
  string(APPEND table "    {\"${c_name}\", reinterpret_cast<const BYTE*>(kData${count}), ${size}u},\n")
  math(EXPR count "${count} + 1")
endforeach()

set(source "// Generated from the files in res/ at build time; do not edit.\n")
string(APPEND source "#include \"platform/ResourceTable.h\"\n\nnamespace {\n\n${arrays}}  // namespace\n\n")
string(APPEND source "const EmbeddedResource g_embeddedResources[] = {\n${table}    {nullptr, nullptr, 0u},\n};\n")
string(APPEND source "const size_t g_nEmbeddedResources = ${count};\n")

file(WRITE "${OUTPUT}.tmp" "${source}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
