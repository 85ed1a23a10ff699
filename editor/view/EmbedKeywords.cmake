# Turns the keyword data file (one name a line) into a C++ table, so that the
# program carries the list and the build needs no interpreter.
# Usage: cmake -DINPUT=OctaveKeywords.txt -DOUTPUT=OctaveKeywordsData.cpp -P EmbedKeywords.cmake
file(STRINGS "${INPUT}" names)
set(body "")
set(count 0)
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  if(name STREQUAL "")
    continue()
  endif()
  # Names are identifiers, at most with "." or ":"; anything else is a broken file.
  if(NOT name MATCHES "^[A-Za-z_][A-Za-z0-9_.:]*$")
    message(FATAL_ERROR "${INPUT}: not a name: '${name}'")
  endif()
  string(APPEND body "    \"${name}\",\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${INPUT} holds no names")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT} by EmbedKeywords.cmake; do not edit.
#include <cstddef>

extern const char* const OCTAVE_KEYWORD_DATA[];
extern const std::size_t OCTAVE_KEYWORD_COUNT;

const char* const OCTAVE_KEYWORD_DATA[] = {
${body}};
const std::size_t OCTAVE_KEYWORD_COUNT = ${count};
")
# Only a changed table makes the library rebuild.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
