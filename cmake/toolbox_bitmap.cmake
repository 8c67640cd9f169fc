# korvel_toolbox_bitmap(<target> <rc-file>)
# The toolbox bitmap of a control library: toolbox_bitmap.txt of the calling folder (a 16 x 16
# picture in text) becomes toolbox_bitmap.bmp in its build folder, where <rc-file> of <target>
# finds it by name through the include path.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
set(KORVEL_TOOLBOX_BITMAP_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../tools/make_toolbox_bitmap.py)

function(korvel_toolbox_bitmap target rc)
  set(picture ${CMAKE_CURRENT_SOURCE_DIR}/toolbox_bitmap.txt)
  set(bmp ${CMAKE_CURRENT_BINARY_DIR}/toolbox_bitmap.bmp)
  add_custom_command(
    OUTPUT ${bmp}
    COMMAND ${Python3_EXECUTABLE} ${KORVEL_TOOLBOX_BITMAP_SCRIPT} ${picture} ${bmp}
    DEPENDS ${KORVEL_TOOLBOX_BITMAP_SCRIPT} ${picture}
    COMMENT "toolbox bitmap of ${target}"
    VERBATIM)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${bmp})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                             ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
