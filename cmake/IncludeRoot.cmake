# quibsum_include_root(TARGET PATH): lets TARGET, and what links it, include the files of the
# project folder PATH as "PATH/…", and no other project files. Each folder gets its own root in
# the build tree holding one symbolic link named after it, so a target sees the roots of itself
# and of the libraries it links, and a header of a module it does not depend on is not found.
function(quibsum_include_root target path)
    string(REPLACE "/" "_" rootName ${path})
    set(root ${PROJECT_BINARY_DIR}/include/${rootName})
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    elseif(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
