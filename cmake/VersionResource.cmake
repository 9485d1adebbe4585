# SPDX-License-Identifier: GPL-3.0-or-later
# The program's version resource: the values it carries, and how every
# executable of the build gets a copy of it.
#
# The version numbers come from the root project() alone. On Windows the
# resource compiler builds the resource from resources/mirado.rc.in. Elsewhere
# the host tool mirado_versionres (versioninfo/) lays out the same bytes, in the
# VS_VERSIONINFO layout the resource compiler writes, as a C++ array placed in
# the ELF section .mirado_version; an OBJECT library compiles it once and each
# executable links that object in. The program reads the resource back through
# versioninfo/fileversion.h either way.

set(_mirado_version_parts)
foreach(_part MAJOR MINOR PATCH TWEAK)
    set(_value "${CMAKE_PROJECT_VERSION_${_part}}")
    if(_value STREQUAL "")
        set(_value 0)
    endif()
    list(APPEND _mirado_version_parts ${_value})
endforeach()
list(JOIN _mirado_version_parts "." MIRADO_VERSION_FILE_VERSION)
list(JOIN _mirado_version_parts "," MIRADO_VERSION_RC_NUMBERS)
unset(_mirado_version_parts)
unset(_part)
unset(_value)

# Japanese (0x0411), code page 932 (0x03A4): one translation, one string table.
set(MIRADO_VERSION_LANGUAGE 0411)
set(MIRADO_VERSION_CODE_PAGE 03A4)
set(MIRADO_VERSION_COMPANY_NAME "The Mirado developers")
set(MIRADO_VERSION_FILE_DESCRIPTION "天体高度計算ソフト")
set(MIRADO_VERSION_LEGAL_COPYRIGHT "Copyright (C) 2026 The Mirado developers, GPL-3.0-or-later")
set(MIRADO_VERSION_PRODUCT_NAME "Mirado")
# The string ProductVersion stays "0.0.0.0"; the fixed product version is the
# project's.
set(MIRADO_VERSION_PRODUCT_VERSION_TEXT "0.0.0.0")

if(WIN32)
    enable_language(RC)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/../resources/mirado.rc.in
        ${CMAKE_BINARY_DIR}/resources/mirado.rc @ONLY)
endif()

# Creates the OBJECT library mirado_version_resource from the output of
# `generator` (the mirado_versionres target). Called once, by versioninfo/.
function(mirado_define_version_resource_library generator)
    if(WIN32)
        return()
    endif()
    set(source ${CMAKE_CURRENT_BINARY_DIR}/mirado_version_resource.cpp)
    add_custom_command(
        OUTPUT ${source}
        COMMAND ${generator}
            --cpp ${source}
            --file-version ${MIRADO_VERSION_FILE_VERSION}
            --product-version ${MIRADO_VERSION_FILE_VERSION}
            --translation ${MIRADO_VERSION_LANGUAGE}:${MIRADO_VERSION_CODE_PAGE}
            --string "CompanyName=${MIRADO_VERSION_COMPANY_NAME}"
            --string "FileDescription=${MIRADO_VERSION_FILE_DESCRIPTION}"
            --string "FileVersion=${MIRADO_VERSION_FILE_VERSION}"
            --string "InternalName="
            --string "LegalCopyright=${MIRADO_VERSION_LEGAL_COPYRIGHT}"
            --string "OriginalFilename="
            --string "ProductName=${MIRADO_VERSION_PRODUCT_NAME}"
            --string "ProductVersion=${MIRADO_VERSION_PRODUCT_VERSION_TEXT}"
            --string "LegalTrademarks="
            --string "Comments="
        DEPENDS ${generator}
        COMMENT "Writing the version resource"
        VERBATIM
    )
    add_library(mirado_version_resource OBJECT ${source})
    set_target_properties(mirado_version_resource PROPERTIES AUTOMOC OFF)
endfunction()

# Embeds the program's version resource into the executable `target`.
function(mirado_add_version_resource target)
    if(WIN32)
        target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/resources/mirado.rc)
    else()
        target_link_libraries(${target} PRIVATE mirado_version_resource)
    endif()
endfunction()
