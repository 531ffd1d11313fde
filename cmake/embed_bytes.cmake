# qh_embed_bytes(SYMBOL name INPUT file OUTPUT source.cpp [DEPENDS items...])
#
# Generates source.cpp defining the bytes of file as read-only data:
#     extern const unsigned char name[];
#     extern const std::size_t name_size;
# The file is read at build time (it may be the output of another target,
# given as a generator expression such as $<TARGET_FILE:tgt>), and the source
# is generated again whenever the file changes. List the generated source
# among a target's sources in the same directory.
#
# Included from a build, this file defines the function; run as a script
# (cmake -P) it writes one source.

set(QH_EMBED_BYTES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(qh_embed_bytes)
    cmake_parse_arguments(ARG "" "SYMBOL;INPUT;OUTPUT" "DEPENDS" ${ARGN})
    if(NOT ARG_SYMBOL OR NOT ARG_INPUT OR NOT ARG_OUTPUT)
        message(FATAL_ERROR "qh_embed_bytes needs SYMBOL, INPUT and OUTPUT")
    endif()
    if(NOT ARG_SYMBOL MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
        message(FATAL_ERROR "qh_embed_bytes: '${ARG_SYMBOL}' is not a C++ name")
    endif()
    add_custom_command(
        OUTPUT ${ARG_OUTPUT}
        COMMAND ${CMAKE_COMMAND}
                -DQH_EMBED_SYMBOL=${ARG_SYMBOL}
                -DQH_EMBED_INPUT=${ARG_INPUT}
                -DQH_EMBED_OUTPUT=${ARG_OUTPUT}
                -P ${QH_EMBED_BYTES_SCRIPT}
        DEPENDS ${ARG_INPUT} ${ARG_DEPENDS} ${QH_EMBED_BYTES_SCRIPT}
        COMMENT "Embedding ${ARG_SYMBOL}"
        VERBATIM)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED QH_EMBED_INPUT)
    file(READ ${QH_EMBED_INPUT} hex HEX)
    string(LENGTH "${hex}" hexLength)
    math(EXPR byteCount "${hexLength} / 2")
    if(byteCount EQUAL 0)
        # A C++ array cannot be empty; an empty file is never meant here.
        message(FATAL_ERROR "qh_embed_bytes: ${QH_EMBED_INPUT} is empty")
    endif()
    # Sixteen bytes a line, each as 0xNN.
    string(REPEAT "[0-9a-f]" 32 sixteenBytes)
    string(REGEX REPLACE "(${sixteenBytes})" "\\1\n" hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
    string(REGEX REPLACE "\n$" "" hex "${hex}")
    string(REPLACE "\n" "\n    " hex "${hex}")
    file(WRITE ${QH_EMBED_OUTPUT}
        "// Generated from ${QH_EMBED_INPUT}; do not edit.\n"
        "#include <cstddef>\n\n"
        "extern const unsigned char ${QH_EMBED_SYMBOL}[];\n"
        "extern const std::size_t ${QH_EMBED_SYMBOL}_size;\n\n"
        "alignas(16) const unsigned char ${QH_EMBED_SYMBOL}[${byteCount}] = {\n    ${hex}\n};\n"
        "const std::size_t ${QH_EMBED_SYMBOL}_size = ${byteCount};\n")
endif()
