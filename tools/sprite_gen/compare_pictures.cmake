# Draws the sprite pictures into OUT with TOOL and compares each with its
# committed copy under COMMITTED.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/beacon ${OUT}/cog)
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "sprite_gen failed: ${result}")
endif()
file(GLOB_RECURSE drawn RELATIVE ${OUT} ${OUT}/*.bbq)
list(LENGTH drawn count)
if(count EQUAL 0)
    message(FATAL_ERROR "sprite_gen drew nothing")
endif()
foreach(picture ${drawn})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${picture}
                            ${COMMITTED}/${picture} RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        message(FATAL_ERROR "${picture} differs from the committed copy; "
                            "run: cmake --build <build folder> --target update_sprites")
    endif()
endforeach()
message(STATUS "${count} pictures match")
