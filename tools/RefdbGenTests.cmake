# refdb_gen must refuse every malformed database, naming the line, and write nothing; the cases
# and their inputs live in RefdbGenCase.cmake.
set(refdb_gen_cases
    accepts_trailing_blank_and_missing_final_line_feed
    accepts_highest_identifier
    rejects_missing_tab
    rejects_empty_line
    rejects_identifier_zero
    rejects_identifier_above_65535
    rejects_identifier_with_sign
    rejects_repeated_identifier
    rejects_falling_identifier
    rejects_tab_in_text
    rejects_non_ascii_text
    rejects_control_character
    rejects_carriage_return
    rejects_empty_file)

foreach(case IN LISTS refdb_gen_cases)
  add_test(NAME refdb_gen.${case}
           COMMAND ${CMAKE_COMMAND}
                   -DGENERATOR=$<TARGET_FILE:refdb_gen>
                   -DCASE=${case}
                   -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/refdb_gen_cases
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/RefdbGenCase.cmake)
endforeach()
