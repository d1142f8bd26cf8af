# Turns a text file into a C++ source that defines one std::string_view, so that
# scripts shipped with the engine are compiled into the library.
function(zantrel_embed_text target input symbol)
  set(_out ${PROJECT_BINARY_DIR}/generated/embedded_${symbol}.cpp)
  add_custom_command(
    OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${_out} -DSYMBOL=${symbol}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
    DEPENDS ${input} ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${_out})
endfunction()
