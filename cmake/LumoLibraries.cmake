# lumodm_library(NAME SOURCE... DEPS DEP...): a static library of the listed
# sources of the calling folder; headers are included from the source root
# as "folder/file.h".
function(lumodm_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "DEPS")
  add_library(${name} STATIC ${arg_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${arg_DEPS})
endfunction()
