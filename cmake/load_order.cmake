# cmake -DLIBRARY=path -DOUTPUT=file -P load_order.cmake
# Writes, as C string literals, the libraries LIBRARY needs (all the way down, as the
# loader finds them here) in the order that loads each after what it needs: ldd's order
# reversed. The program loads them one by one before LIBRARY itself.
execute_process(COMMAND ldd ${LIBRARY} OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
set(names "")
if(NOT failed)
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*([^ \t]+) => /")
      list(PREPEND names "${CMAKE_MATCH_1}")
    endif()
  endforeach()
endif()
set(text "// Generated from ldd ${LIBRARY}.\n")
foreach(name IN LISTS names)
  string(APPEND text "\"${name}\",\n")
endforeach()
file(WRITE ${OUTPUT}.new "${text}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUTPUT}.new ${OUTPUT})
