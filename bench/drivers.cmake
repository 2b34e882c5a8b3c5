# Benchmark drivers built with the tested tree (they drive the real program in-process);
# bench/run.sh runs them, the tests never do.
add_executable(panelbench ${CMAKE_CURRENT_LIST_DIR}/PanelBench.cpp)
target_link_libraries(panelbench PRIVATE pdtestsupport)
target_link_options(panelbench PRIVATE ${PD_STATIC_LINK} -municode)
add_dependencies(panelbench PDDLL)

# The floor of a copy: bare Win32 calls per file.
add_executable(copyloop ${CMAKE_CURRENT_LIST_DIR}/CopyLoop.cpp)
target_link_options(copyloop PRIVATE ${PD_STATIC_LINK} -municode)

# The file search: the real walk and content test, and the bare passes beside them.
add_executable(searchbench ${CMAKE_CURRENT_LIST_DIR}/SearchBench.cpp)
target_link_libraries(searchbench PRIVATE pdcore)
target_link_options(searchbench PRIVATE ${PD_STATIC_LINK} -municode)
# The zip benchmark's driver (bench/zip_bench.sh): the packer of the "Zip" command on a tree.
add_executable(zipbench ${CMAKE_CURRENT_LIST_DIR}/ZipBench.cpp)
target_link_libraries(zipbench PRIVATE pdcore)
target_link_options(zipbench PRIVATE ${PD_STATIC_LINK} -municode)
# The drop list of a dragged tree beside a bare walk.
add_executable(dropbench ${CMAKE_CURRENT_LIST_DIR}/DropBench.cpp)
target_link_libraries(dropbench PRIVATE pdcore)
target_link_options(dropbench PRIVATE ${PD_STATIC_LINK} -municode)
