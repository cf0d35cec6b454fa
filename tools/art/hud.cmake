# The in-game display's pictures (top panel, purchase buttons, purse, fuel
# gauge, minimap caps, tutorial dialog frame, portrait and arrow, banner,
# badges and the mouse pointer), drawn at build time by draw_hud.py into
# <build>/art/hud/<name under resources/> and packed like the level art.
# The target hud_mockup composes the whole in-game screen over Level0's art
# into <build>/art/hud/mockup.png, for looking at the display.
set(hud_drawer ${CMAKE_CURRENT_SOURCE_DIR}/draw_hud.py)
set(hud_root ${art_root}/hud)
execute_process(COMMAND ${Python3_EXECUTABLE} ${hud_drawer} list
    OUTPUT_VARIABLE hud_names OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE hud_listed)
if(NOT hud_listed EQUAL 0)
    message(FATAL_ERROR "draw_hud.py cannot list its pictures")
endif()
# The picture list comes from the drawer, so a change to it configures again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${hud_drawer})
string(REPLACE "\n" ";" hud_names "${hud_names}")
set(hud_outputs)
foreach(name ${hud_names})
    list(APPEND hud_outputs ${hud_root}/${name})
    set_property(GLOBAL APPEND PROPERTY GEARHAVEN_GENERATED_RESOURCES "${name}|${hud_root}/${name}")
endforeach()
add_custom_command(OUTPUT ${hud_outputs}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            ${Python3_EXECUTABLE} ${hud_drawer} draw ${hud_root} $<TARGET_FILE:bbq_convert>
    DEPENDS ${hud_drawer} bbq_convert
    COMMENT "Drawing the pictures of the in-game display"
    VERBATIM)
list(APPEND art_outputs ${hud_outputs})

add_custom_target(hud_mockup
    COMMAND ${Python3_EXECUTABLE} ${hud_drawer} mockup ${hud_root} ${art_root}/Level0
            ${PROJECT_SOURCE_DIR}/resources/Level0/level.txt ${hud_root}/mockup.png
    DEPENDS art
    COMMENT "Composing the in-game screen into ${hud_root}/mockup.png"
    VERBATIM)
