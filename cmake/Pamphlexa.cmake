# One object library per subsystem folder; all of them are gathered into the
# program library `pamphlexa_lib`, which the executable, tools and tests link.
function(pamphlexa_add_subsystem name)
    file(GLOB _sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/*/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/*/*/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*/*/*.h)
    add_library(pamphlexa_${name} OBJECT ${_sources})
    target_include_directories(pamphlexa_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(pamphlexa_${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport SQLite::SQLite3)
    target_compile_definitions(pamphlexa_${name} PUBLIC
        PAMPHLEXA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
        PAMPHLEXA_VERSION_MINOR=${PROJECT_VERSION_MINOR}
        PAMPHLEXA_BUILD_DATA_DIR="${PAMPHLEXA_DATA_DIR}")
    set_property(GLOBAL APPEND PROPERTY PAMPHLEXA_SUBSYSTEMS pamphlexa_${name})
endfunction()

# A Qt Test executable registered with CTest, run on the offscreen platform.
function(pamphlexa_add_test source)
    get_filename_component(_name ${source} NAME_WE)
    get_filename_component(_dir ${source} DIRECTORY)
    get_filename_component(_folder ${_dir} NAME)
    set(_target ${_folder}_${_name})
    add_executable(${_target} ${source})
    target_link_libraries(${_target} PRIVATE pamphlexa_lib pamphlexa_testsupport Qt6::Test)
    add_test(NAME ${_folder}/${_name} COMMAND ${_target})
    # Sample documents and pictures from outside the project: beside the checkout unless the
    # environment names another folder when configuring.
    if(DEFINED ENV{PAMPHLEXA_SHARED})
        set(_shared $ENV{PAMPHLEXA_SHARED})
    else()
        set(_shared ${PROJECT_SOURCE_DIR}/../shared)
    endif()
    set_tests_properties(${_folder}/${_name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PAMPHLEXA_SHARED=${_shared}"
        TIMEOUT 300)
endfunction()
