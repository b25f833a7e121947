# lumodm_library(NAME DIR DEPS...): a static library of the .cpp files directly
# in DIR (headers are included from the source root as "DIR/file.h").
# Folders that hold no source yet give an interface library, so the build
# stays whole while the tree grows.
function(lumodm_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
  file(GLOB headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.h")
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE ${headers})
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()
