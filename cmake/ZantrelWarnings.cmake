# Warning flags shared by every target of the project.
function(zantrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# One static library per subsystem: every .cpp of the folder, headers beside them.
function(zantrel_subsystem name)
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
  zantrel_warnings(${name})
endfunction()
