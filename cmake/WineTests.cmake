# Windows test programs run under Wine, one at a time, after one shared set-up per ctest run of
# an Xvfb display and a fresh prefix (cmake/wine-env.sh).
if(NOT WIN32)
    return()
endif()

set(QUORVANTA_WINE_STATE ${CMAKE_BINARY_DIR}/wine-state)
set(QUORVANTA_WINE_ENV ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh)

add_test(NAME wine.setup
         COMMAND ${QUORVANTA_WINE_ENV} setup ${QUORVANTA_WINE_STATE} ${CMAKE_SYSTEM_PROCESSOR})
set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine)
add_test(NAME wine.cleanup COMMAND ${QUORVANTA_WINE_ENV} cleanup ${QUORVANTA_WINE_STATE})
set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine RESOURCE_LOCK wine)

# quorvanta_use_wine(NAME): the test runs after the shared set-up, alone, and counts as skipped
# when it exits 77 (a host that cannot run this Wine).
function(quorvanta_use_wine name)
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED wine
        RESOURCE_LOCK wine
        SKIP_RETURN_CODE 77
        TIMEOUT 600
        ENVIRONMENT "QUORVANTA_WINE_STATE=${QUORVANTA_WINE_STATE}")
endfunction()

# quorvanta_add_wine_test(NAME target [args...]): runs a Windows program as one ctest test.
function(quorvanta_add_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    quorvanta_use_wine(${name})
endfunction()
