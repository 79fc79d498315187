# One folder under src/ is one layer and one library target of the same name, built from that
# folder's own .cpp files. A layer's headers are reachable only through a private include root
# that holds its folder alone, so a file sees its own layer and the layers it links, nothing
# above: an include that points up is a compile error.
#
#   tolmeo_layer(NAME [DEPENDS layer...] [PRIVATE lib...] [EXECUTABLE exe])
#
# DEPENDS are the layers below that this one includes (public, so they pass on). PRIVATE are
# outside libraries used only inside. EXECUTABLE builds main.cpp of the folder as that program,
# linked with the layer; the rest of the folder stays a library so tests can drive it.
function(tolmeo_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "EXECUTABLE" "DEPENDS;PRIVATE")
  set(root ${CMAKE_BINARY_DIR}/layer_roots/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(layer_EXECUTABLE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
  endif()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${layer_DEPENDS} PRIVATE ${layer_PRIVATE})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${root})
    target_link_libraries(${name} INTERFACE ${layer_DEPENDS})
  endif()

  if(layer_EXECUTABLE)
    add_executable(${layer_EXECUTABLE} main.cpp)
    target_link_libraries(${layer_EXECUTABLE} PRIVATE ${name})
    add_dependencies(${layer_EXECUTABLE} run_folder)
  endif()
endfunction()
