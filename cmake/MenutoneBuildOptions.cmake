# Compile and link options go on our own targets, never on the directory, so
# a project that adds ours with add_subdirectory is not changed by it.

function(menutone_apply_build_options directory)
    get_property(targets DIRECTORY "${directory}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
            continue()
        endif()
        set_target_properties(${target} PROPERTIES CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF POSITION_INDEPENDENT_CODE ON)
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
        if(MENUTONE_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
        if(MENUTONE_SANITIZE)
            target_compile_options(${target} PRIVATE -fsanitize=${MENUTONE_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
            target_link_options(${target} PRIVATE -fsanitize=${MENUTONE_SANITIZE})
        endif()
        # A linked framework is loaded even when no symbol of it is named, as
        # on the device: its classes register when it loads, and code finds
        # them by name.
        target_link_options(${target} PRIVATE "LINKER:--no-as-needed")
    endforeach()
    get_property(subdirectories DIRECTORY "${directory}" PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        menutone_apply_build_options("${subdirectory}")
    endforeach()
endfunction()
