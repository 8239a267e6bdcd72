# Fails when a source file includes a header its layer must not know about.
# Run as: cmake -DSOURCE_DIR=<top of the tree> -P LayerCheck.cmake
#
# Each rule: folder | pattern of forbidden #include lines | why.
set(rules
    "gui|#include [\"<](plugin|tools)/|the toolkit is shared by every product and knows none of them"
    "core|#include [\"<](plugin|gui|tools)/|the maker's core knows no product and no editor"
    "diagnostics|#include [\"<](plugin|gui|core|tools)/|the diagnostics sit under everything else"
    "platform|#include [\"<](plugin|gui|core|diagnostics|tools)/|the platform layer is the bottom of the stack"
    "plugin/engine|#include [\"<](juce_(core|events|data_structures|graphics|gui_basics|gui_extra|audio_processors|audio_utils)/|plugin/(ui|update)/|gui/|core/)|the engine is plain code: its only framework piece is the FFT")

set(failures "")
foreach(rule IN LISTS rules)
    string(REPLACE "|" ";" parts "${rule}")
    list(GET parts 0 folder)
    list(GET parts 1 pattern_head)
    list(LENGTH parts count)
    # The pattern itself holds '|' alternatives: everything between the first
    # and the last field is the pattern.
    math(EXPR last "${count} - 1")
    list(GET parts ${last} reason)
    list(SUBLIST parts 1 ${last} pattern_parts)
    list(JOIN pattern_parts "|" pattern)

    file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            if(line MATCHES "${pattern}")
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
                string(APPEND failures "  ${shown}: ${line}  (${reason})\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "includes across layers:\n${failures}")
endif()
message(STATUS "layer check: every include stays inside its layer")
