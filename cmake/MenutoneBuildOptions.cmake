# The options every target of ours compiles and links with, carried by an
# interface target that each one links privately: a target says what it
# uses, and a project that adds ours with add_subdirectory is not changed.

add_library(menutone_build_options INTERFACE)
add_library(Menutone::build_options ALIAS menutone_build_options)
target_compile_features(menutone_build_options INTERFACE cxx_std_20)
set_target_properties(menutone_build_options PROPERTIES INTERFACE_POSITION_INDEPENDENT_CODE ON)
target_compile_options(menutone_build_options INTERFACE -Wall -Wextra -Wpedantic $<$<BOOL:${MENUTONE_WERROR}>:-Werror>)
# RelWithDebInfo keeps line tables (backtraces, perf, stepping by line):
# full debug information took a quarter of a cold build's compiler time.
# The Debug build has it all, for a debugger that prints variables.
target_compile_options(menutone_build_options INTERFACE $<$<CONFIG:RelWithDebInfo>:-g1>)
if(MENUTONE_SANITIZE)
    target_compile_options(menutone_build_options INTERFACE -fsanitize=${MENUTONE_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(menutone_build_options INTERFACE -fsanitize=${MENUTONE_SANITIZE})
endif()
# A linked framework is loaded even when no symbol of it is named, as on the
# device: its classes register when it loads, and code finds them by name.
target_link_options(menutone_build_options INTERFACE "LINKER:--no-as-needed")

# Our own options on a target (in the build only; nothing installed names them).
function(menutone_target target)
    target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:Menutone::build_options>)
endfunction()
