# The init-data blob (code-page maps, built-in SIMPLEX and GDT shapes) is
# generated at build time and compiled into the toolkit. The same run writes
# the table of code-page conversions that the tests check the toolkit against.
set(VT_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(VT_INIT_DATA_SOURCE ${VT_GENERATED_DIR}/init_data_blob.cpp)
set(VT_CODE_PAGE_EXPECTATIONS ${VT_GENERATED_DIR}/code_page_expectations.txt)
set(VT_HERSHEY_SIMPLEX /usr/share/hershey-fonts/rowmans.jhf)
if(NOT EXISTS ${VT_HERSHEY_SIMPLEX})
    message(FATAL_ERROR "${VT_HERSHEY_SIMPLEX} is missing: install hershey-fonts-data (scripts/setup does)")
endif()

add_custom_command(
    OUTPUT ${VT_INIT_DATA_SOURCE} ${VT_CODE_PAGE_EXPECTATIONS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VT_GENERATED_DIR}
    COMMAND ${VT_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/make_init_data.py
            --hershey ${VT_HERSHEY_SIMPLEX}
            --source ${VT_INIT_DATA_SOURCE}
            --expectations ${VT_CODE_PAGE_EXPECTATIONS}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_init_data.py ${CMAKE_CURRENT_LIST_DIR}/gdt_shapes.py
            ${VT_HERSHEY_SIMPLEX}
    COMMENT "Generating the init data"
    VERBATIM)

set(VT_INIT_DATA_SOURCES ${VT_INIT_DATA_SOURCE})

# The test program is defined later in the configure run, so its definition is
# attached once the whole tree has been read (the path is fixed in now: deferred
# arguments are expanded in the top directory, where this variable is unset).
# The fuzz build has no test program.
if(NOT VT_FUZZ)
    cmake_language(EVAL CODE "
        cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL
            target_compile_definitions toolkit_db_tests PRIVATE
            [[VT_CODE_PAGE_EXPECTATIONS=\"${VT_CODE_PAGE_EXPECTATIONS}\"]])")
endif()
