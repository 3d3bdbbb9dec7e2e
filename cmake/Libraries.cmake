# Helpers for the subsystem libraries.
#
# Course classes register themselves by name from static initialisers, so every
# object file of a subsystem library that holds such classes must reach the
# program, not only those it references. Every link to such a library goes
# through tvn_link_whole, so that CMake sees one feature for each library.
function(tvn_link_whole target scope)
  foreach(lib IN LISTS ARGN)
    target_link_libraries(${target} ${scope} "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
  endforeach()
endfunction()

# A subsystem library: the sources, the include root and the warning set.
function(tvn_subsystem_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
