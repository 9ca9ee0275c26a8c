# The soundtrack is encoded to MP3 with LAME; pictures are drawn with cairo and the
# bitmap font is rasterised with FreeType.
target_link_libraries(datagen PRIVATE mp3lame PkgConfig::CAIRO PkgConfig::FREETYPE)

# Every file of data/ is compiled into datagen as bytes (EmbeddedText.h), so the program
# carries its sources; editing one re-runs this step.
file(GLOB embedded_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*)
set(embedded_inc ${PROJECT_BINARY_DIR}/generated/EmbeddedData.inc)
set(embedded_text "struct EmbeddedFile { const char* name; const unsigned char* bytes; unsigned long size; };\n")
string(APPEND embedded_text "static const unsigned char EMBEDDED_NOTHING[1] = {0};\n")
set(embedded_table "")
set(embedded_index 0)
foreach(source IN LISTS embedded_sources)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  get_filename_component(source_name ${source} NAME)
  file(READ ${source} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR byte_count "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND embedded_text "static const unsigned char EMBEDDED_${embedded_index}[] = {${bytes}0};\n")
  string(APPEND embedded_table "  {\"${source_name}\", EMBEDDED_${embedded_index}, ${byte_count}},\n")
  math(EXPR embedded_index "${embedded_index} + 1")
endforeach()
string(APPEND embedded_text "static const EmbeddedFile EMBEDDED_FILES[] = {\n${embedded_table}  {\"\", EMBEDDED_NOTHING, 0},\n};\n")
file(CONFIGURE OUTPUT ${embedded_inc} CONTENT "${embedded_text}")
target_include_directories(datagen PRIVATE ${PROJECT_BINARY_DIR}/generated)

# The sculpted models are simplified with meshoptimizer.
find_package(meshoptimizer REQUIRED)
target_link_libraries(datagen PRIVATE meshoptimizer::meshoptimizer)
