# Writes OUT, a C++ file that defines `const char NAME[]` as the text of
# FILE, for a style sheet or script kept as a file of its own. Only ASCII
# may be embedded: narrow literals are compiled to code page 932, and the
# page that carries the text is UTF-8. Run with cmake -P at build time.
file(READ "${FILE}" content)
if(content MATCHES "[^\t\n\r -~]")
  message(FATAL_ERROR "${FILE}: only ASCII may be embedded (write other characters as escapes)")
endif()
if(content MATCHES "\\)EMBED\"")
  message(FATAL_ERROR "${FILE}: holds the raw string's delimiter")
endif()
get_filename_component(source "${FILE}" NAME)
file(WRITE "${OUT}.new"
  "// Made from ${source} by cmake/EmbedText.cmake; edit that file instead.\n"
  "extern const char ${NAME}[];\n"
  "const char ${NAME}[] = R\"EMBED(${content})EMBED\";\n")
# Unchanged text leaves the file as it was: nothing is compiled again.
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
