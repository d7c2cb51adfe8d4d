# Debian's hardening for the release build and the package: fortified
# functions, a strong stack protector, stack clash protection, CET,
# format-security errors, immediate binding and read-only relocations. The
# flags are what dpkg-buildflags gives for hardening=+all, where it is
# installed, and a fixed list where it is not; where this dpkg-buildflags is
# older than stack clash protection and CET, they are added where the compiler
# knows them. Executables are position-independent by the compiler's default,
# as dpkg-buildflags takes them to be, and code that links Qt is built -fPIC
# as Qt asks. Optimisation and debugging flags stay the build's own; nothing
# here touches floating point.
include(CheckCXXCompilerFlag)

function(springlattice_debian_hardening compile_var link_var)
    find_program(DPKG_BUILDFLAGS dpkg-buildflags)
    if(DPKG_BUILDFLAGS)
        set(flags)
        foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
            # Run from the source folder, so that the reproducible builds'
            # -ffile-prefix-map maps it to ".".
            execute_process(
                COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                        "DEB_CXXFLAGS_MAINT_STRIP=-g -O2" ${DPKG_BUILDFLAGS} --get ${kind}
                WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE status)
            if(NOT status EQUAL 0)
                message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed (${status})")
            endif()
            separate_arguments(value UNIX_COMMAND "${value}")
            set(flags_${kind} ${value})
        endforeach()
        set(compile ${flags_CPPFLAGS} ${flags_CXXFLAGS})
        set(link ${flags_LDFLAGS})
    else()
        set(compile -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat -Werror=format-security)
        set(link -Wl,-z,relro -Wl,-z,now)
    endif()
    foreach(flag -fstack-clash-protection -fcf-protection)
        if(NOT flag IN_LIST compile)
            string(MAKE_C_IDENTIFIER "HAVE${flag}" have)
            check_cxx_compiler_flag(${flag} ${have})
            if(${have})
                list(APPEND compile ${flag})
            endif()
        endif()
    endforeach()
    list(JOIN compile " " compile)
    list(JOIN link " " link)
    set(${compile_var} "${compile}" PARENT_SCOPE)
    set(${link_var} "${link}" PARENT_SCOPE)
endfunction()
