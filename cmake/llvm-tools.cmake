# Finds LLVM's tools of any version from 14 on, wherever a Debian release
# puts them: the unversioned name on PATH, else the highest NAME-N on PATH,
# else the highest /usr/lib/llvm-N/bin/NAME (scripts/find-tools.sh looks
# the same way). Sets VAR to the tool's full path; a tool that is missing
# stops the configuration with its name.
function(quib_llvm_tool var name)
    find_program(found ${name} NO_CACHE)
    if(NOT found)
        string(REPLACE ":" ";" path "$ENV{PATH}")
        set(candidates)
        foreach(dir ${path})
            file(GLOB more "${dir}/${name}-[0-9]*")
            list(APPEND candidates ${more})
        endforeach()
        quib_highest_version(found "-([0-9]+)$" ${candidates})
    endif()
    if(NOT found)
        file(GLOB candidates "/usr/lib/llvm-[0-9]*/bin/${name}")
        quib_highest_version(found "/llvm-([0-9]+)/" ${candidates})
    endif()
    if(NOT found)
        message(FATAL_ERROR "${name} of LLVM 14 or later not found (scripts/install-deps.sh installs it)")
    endif()
    set(${var} ${found} PARENT_SCOPE)
endfunction()

# The path among the candidates whose version, the number PATTERN's group
# takes from it, is the highest from 14 on; empty when there is none.
function(quib_highest_version var pattern)
    set(best 13)
    set(found "")
    foreach(candidate ${ARGN})
        if(candidate MATCHES "${pattern}" AND CMAKE_MATCH_1 GREATER best)
            set(best ${CMAKE_MATCH_1})
            set(found ${candidate})
        endif()
    endforeach()
    set(${var} "${found}" PARENT_SCOPE)
endfunction()
