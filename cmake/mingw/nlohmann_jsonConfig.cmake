# nlohmann/json is header-only: the cross build takes Debian's headers through a
# folder that holds only them, never the whole of the host's /usr/include.
if(NOT TARGET nlohmann_json::nlohmann_json)
    set(ORLEX_HEADER_ONLY_DIR ${CMAKE_BINARY_DIR}/header-only)
    file(MAKE_DIRECTORY ${ORLEX_HEADER_ONLY_DIR})
    if(NOT EXISTS ${ORLEX_HEADER_ONLY_DIR}/nlohmann)
        file(CREATE_LINK /usr/include/nlohmann ${ORLEX_HEADER_ONLY_DIR}/nlohmann SYMBOLIC)
    endif()
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES ${ORLEX_HEADER_ONLY_DIR})
endif()
set(nlohmann_json_FOUND TRUE)
