# Windows build (mingw-w64): the programs, and the contract suite and the
# end-to-end tests, which run under Wine.
add_library(qob_win32 STATIC catalogue/Win32Platform.cpp)
qob_target(qob_win32)
target_link_libraries(qob_win32 PUBLIC qob_core)

add_executable(QobTessavinScan catalogue/QobTessavinScan.cpp)
qob_target(QobTessavinScan)
target_link_libraries(QobTessavinScan PRIVATE qob_win32)

add_executable(contract_tests
  tests/contract/KeyStoreContract.cpp
  tests/contract/Win32Fixtures.cpp
)
qob_target(contract_tests)
target_link_libraries(contract_tests PRIVATE qob_win32 GTest::gtest_main)
add_test(NAME wine.contract_tests COMMAND contract_tests)

set(QOB_WINE_TESTS ${PROJECT_SOURCE_DIR}/tests/wine)
add_test(NAME wine.scan_fixtures
  COMMAND ${QOB_WINE_TESTS}/scan_fixtures.sh $<TARGET_FILE:QobTessavinScan> ${PROJECT_SOURCE_DIR}/tests/fixtures)
set_tests_properties(wine.contract_tests wine.scan_fixtures PROPERTIES RUN_SERIAL TRUE)
